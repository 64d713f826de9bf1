#include "platform/platform_wx.h"

#include <wx/colordlg.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>
#include <wx/wx.h>

#include <cstdlib>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

#include "io/text.h"
#include "platform/file_filters.h"
#include "platform/long_message_wx.h"
#include "platform/posix_paths.h"

namespace platform {
namespace {

constexpr const char* kCaption = "Zorvik";
// The titles the file dialogs have on the system the program comes from.
constexpr const char* kOpenTitle = "Open";
constexpr const char* kSaveTitle = "Save As";

long IconStyle(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Exclamation:
      return wxICON_EXCLAMATION;
    case MsgIcon::Stop:
      return wxICON_ERROR;
    case MsgIcon::None:
      break;
  }
  return wxICON_NONE;
}

wxWindow* DialogParent() { return wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr; }

#ifdef __WXGTK__
// The export dialog's name follows the type chosen in its list: picking
// "Wavefront OBJ" turns "biplane.glb" into "biplane.obj", so the file
// written is the type the list shows. (Windows' own dialog does so itself.)
struct FilterSwitch {
  std::string filter;
};

void OnFilterChanged(GObject* object, GParamSpec*, gpointer data) {
  auto* chooser = GTK_FILE_CHOOSER(object);
  const auto* filterSwitch = static_cast<const FilterSwitch*>(data);
  GtkFileFilter* current = gtk_file_chooser_get_filter(chooser);
  GSList* filters = gtk_file_chooser_list_filters(chooser);
  const int chosen = current != nullptr ? g_slist_index(filters, current) : -1;
  g_slist_free(filters);
  gchar* name = gtk_file_chooser_get_current_name(chooser);
  if (name == nullptr) return;
  const std::string shown = name;
  g_free(name);
  const std::string wanted = SwitchFilterExtension(shown, filterSwitch->filter, chosen);
  if (wanted != shown) gtk_file_chooser_set_current_name(chooser, wanted.c_str());
}
#endif

std::string FromWx(const wxString& text) { return std::string(text.utf8_str()); }

wxString ToWx(const std::string& text) { return wxString::FromUTF8(text.c_str()); }

bool FileExists(const std::string& path) { return wxFileExists(ToWx(path)); }

}  // namespace

void WxPlatform::ShowMessage(const std::string& text, MsgIcon icon) {
  const wxString shown = ToWx(ToDisplayLineBreaks(text));
  // A plain box grows with its text and would stand taller than the
  // screen, its OK button out of reach; a long text scrolls in a box of our
  // own instead.
  if (NeedsScrolledMessage(shown, DialogParent())) {
    ShowScrolledMessage(shown, kCaption, IconStyle(icon), DialogParent());
    return;
  }
  wxMessageBox(shown, kCaption, wxOK | IconStyle(icon), DialogParent());
}

void WxPlatform::BeginWaitCursor() {
  wxBeginBusyCursor();
  ++m_nBusyDepth;
}

void WxPlatform::RestoreArrowCursor() {
  // Setting the arrow ends the wait, however often it was begun; only the
  // busy cursors started here are ended, so wx's own stay balanced.
  while (m_nBusyDepth > 0) {
    wxEndBusyCursor();
    --m_nBusyDepth;
  }
}

std::string WxPlatform::GetExecutablePath() { return ExecutablePath(); }


void WxPlatform::EndProcess(int code) { std::exit(code); }

bool WxPlatform::AskOpenFile(const OpenFileRequest& request, std::string& path) {
  long style = wxFD_OPEN;
  if (request.bMustExist) {
    style |= wxFD_FILE_MUST_EXIST;
  }
  wxFileDialog dialog(DialogParent(), kOpenTitle, ToWx(request.strInitialDir), wxEmptyString,
                      ToWx(AnyCasePatterns(request.strFilter)), style);
  if (dialog.ShowModal() != wxID_OK) {
    return false;
  }
  std::string chosen = FromWx(dialog.GetPath());
  // A name typed without extension means the file with the default one,
  // when only that one exists.
  if (!request.strDefaultExt.empty() && LacksExtension(chosen) && !FileExists(chosen)) {
    const std::string withExt = chosen + "." + request.strDefaultExt;
    if (FileExists(withExt)) {
      chosen = withExt;
    }
  }
  path = chosen;
  return true;
}

bool WxPlatform::AskSaveFile(const SaveFileRequest& request, std::string& path) {
  long style = wxFD_SAVE;
  if (request.bOverwritePrompt) {
    style |= wxFD_OVERWRITE_PROMPT;
  }
  // The save dialog's patterns keep their case: wx takes the extension it
  // puts on the typed name from the pattern of the filter chosen.
  // Declared before the dialog, so that it outlives the handler given it.
#ifdef __WXGTK__
  FilterSwitch filterSwitch{TrimFilter(request.strFilter)};
#endif
  const std::string title = request.strTitle.empty() ? kSaveTitle : request.strTitle;
  wxFileDialog dialog(DialogParent(), ToWx(title), ToWx(request.strInitialDir),
                      ToWx(request.strInitialName), ToWx(TrimFilter(request.strFilter)), style);
#ifdef __WXGTK__
  if (request.bExtensionFromFilter) {
    if (auto* widget = static_cast<GtkWidget*>(dialog.GetHandle());
        widget != nullptr && GTK_IS_FILE_CHOOSER(widget)) {
      g_signal_connect(widget, "notify::filter", G_CALLBACK(OnFilterChanged), &filterSwitch);
    }
  }
#endif
  if (dialog.ShowModal() != wxID_OK) {
    return false;
  }
  const std::string typed = FromWx(dialog.GetPath());
  // GTK's chooser hands back the name as typed ("foo" stays "foo"), so a
  // name without an extension gets the default one here. The chooser's
  // overwrite question, if any, was about the name without it, so ask
  // again for this one.
  std::string chosen = typed;
  if (request.bExtensionFromFilter) {
    chosen = WithFilterExtension(typed, request.strFilter, dialog.GetFilterIndex());
  } else if (!request.strDefaultExt.empty() && LacksExtension(typed)) {
    chosen = typed + request.strDefaultExt;
  }
  if (chosen != typed) {
    if (request.bOverwritePrompt && FileExists(chosen)) {
      const wxString question =
          wxString::Format("%s already exists.\nDo you want to replace it?", ToWx(chosen));
      if (wxMessageBox(question, kCaption, wxYES_NO | wxICON_EXCLAMATION, DialogParent()) !=
          wxYES) {
        return false;
      }
    }
  }
  path = chosen;
  return true;
}

bool WxPlatform::AskColour(unsigned char rgb[3]) {
  // No colour preselected: the dialog opens on its own default.
  wxColourDialog dialog(DialogParent());
  if (dialog.ShowModal() != wxID_OK) {
    return false;
  }
  const wxColour colour = dialog.GetColourData().GetColour();
  rgb[0] = colour.Red();
  rgb[1] = colour.Green();
  rgb[2] = colour.Blue();
  return true;
}

}  // namespace platform
