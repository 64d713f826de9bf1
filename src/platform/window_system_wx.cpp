// The parts of the platform layer that reach below the toolkit, to GTK and
// the X server: the keyboard's lock indicators and the window's size on the
// display.
#include <wx/toplevel.h>
#include <wx/utils.h>

#include <algorithm>

#include <gtk/gtk.h>

#include "platform/platform_wx.h"

// Last: the X11 headers define macros (None, Status) that clash with names
// in the headers above.
#include <X11/XKBlib.h>

namespace platform {
namespace {

// Scroll Lock has no modifier of its own that the toolkit tracks; its state
// is the keyboard indicator of that name.
bool ScrollLockIndicator(Display* display, bool& on) {
  static Display* atomDisplay = nullptr;
  static Atom name = 0;
  if (atomDisplay != display) {
    name = XInternAtom(display, "Scroll Lock", False);
    atomDisplay = display;
  }
  Bool state = False;
  if (!XkbGetNamedIndicator(display, name, nullptr, &state, nullptr, nullptr)) return false;
  on = state != False;
  return true;
}

// GTK lays a window out at whatever size the display gives it, and below
// the minimum of its contents (the menu bar's items side by side) its own
// layout complains on stderr at every step. A window manager holds the
// minimum the window asks for; without one, a size below it is answered by
// asking for the minimum back, and the small size is never laid out.
gboolean OnConfigure(GtkWidget* widget, GdkEventConfigure* event, gpointer) {
  GtkRequisition minimum{};
  gtk_widget_get_preferred_size(widget, &minimum, nullptr);
  if (event->width >= minimum.width && event->height >= minimum.height) return FALSE;
  // Straight to the display: the toolkit's own request may already be this
  // size, and would then not be sent again.
  gdk_window_resize(event->window, std::max(event->width, minimum.width),
                    std::max(event->height, minimum.height));
  return TRUE;
}

}  // namespace

bool IsScrollLockOn() {
  const wxDisplayInfo display = wxGetDisplayInfo();
  bool on = false;
  if (display.type == wxDisplayX11 && display.dpy != nullptr &&
      ScrollLockIndicator(static_cast<Display*>(display.dpy), on)) {
    return on;
  }
  GdkDisplay* gdk = gdk_display_get_default();
  return gdk != nullptr && gdk_keymap_get_scroll_lock_state(gdk_keymap_get_for_display(gdk));
}

void KeepAboveMinimumSize(wxTopLevelWindow* window) {
  g_signal_connect(window->GetHandle(), "configure-event", G_CALLBACK(OnConfigure), nullptr);
}

}  // namespace platform
