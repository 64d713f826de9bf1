#include "platform/long_message_wx.h"

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <algorithm>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

#include "platform/dialog_layout_wx.h"

namespace platform {
namespace {

// Shares of the display's usable area: a plain box whose text is taller
// than kPlainTextShare would no longer fit once its button and margins are
// added; the scrolled text takes at most kScrolledShare of it.
constexpr double kPlainTextShare = 0.6;
constexpr double kScrolledShare = 0.6;
constexpr double kWidthShare = 0.8;

wxRect UsableArea(const wxWindow* parent) {
  const int index = parent != nullptr ? wxDisplay::GetFromWindow(parent) : wxNOT_FOUND;
  return wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea();
}

wxSize TextSize(const wxString& text, wxWindow* window) {
  wxCoord width = 0;
  wxCoord height = 0;
  wxClientDC dc(window);
  dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
  dc.GetMultiLineTextExtent(text, &width, &height);
  return {width, height};
}

wxArtID IconArt(long icon) {
  if (icon & wxICON_ERROR) return wxART_ERROR;
  if (icon & wxICON_EXCLAMATION) return wxART_WARNING;
  return {};
}

}  // namespace

bool NeedsScrolledMessage(const wxString& text, wxWindow* parent) {
  wxWindow* measure = parent != nullptr ? parent : wxTheApp->GetTopWindow();
  int height = 0;
  if (measure != nullptr) {
    height = TextSize(text, measure).y;
  } else {
    // Before any window exists: lines of the dialog font.
    const int lines = static_cast<int>(text.Freq('\n')) + 1;
    height = lines * wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).GetPixelSize().y;
  }
  return height > UsableArea(parent).height * kPlainTextShare;
}

CLongMessageDlg::CLongMessageDlg(wxWindow* parent, const wxString& text, const wxString& caption,
                                 long icon)
    : wxDialog(parent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER) {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  const wxArtID art = IconArt(icon);
  if (!art.empty()) {
    row->Add(new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(art, wxART_MESSAGE_BOX)),
             0, wxRIGHT | wxALIGN_TOP, kBoxMargin);
  }

  auto* scroller =
      new wxScrolledWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL | wxHSCROLL);
  auto* label = new wxStaticText(scroller, wxID_ANY, text);
  auto* inner = new wxBoxSizer(wxVERTICAL);
  inner->Add(label, 0, wxALL, 2);
  scroller->SetSizer(inner);
  const int line = std::max(1, label->GetCharHeight());
  scroller->SetScrollRate(line, line);
  // GTK hides a scroll bar until the pointer comes near; this one stays, so
  // that a cut-off list shows at once that there is more.
#ifdef __WXGTK__
  if (auto* widget = static_cast<GtkWidget*>(scroller->GetHandle());
      widget != nullptr && GTK_IS_SCROLLED_WINDOW(widget)) {
    gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(widget), FALSE);
  }
#endif
  m_pTextArea = scroller;

  // As large as the text, up to the shares of the screen; what is larger
  // scrolls.
  const wxRect area = UsableArea(parent);
  const wxSize full = inner->GetMinSize();
  const int bar = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, scroller);
  const wxSize shown(
      std::min(full.x + bar + kBoxMargin, static_cast<int>(area.width * kWidthShare)),
      std::min(full.y, static_cast<int>(area.height * kScrolledShare)));
  scroller->SetMinSize(shown);
  row->Add(scroller, 1, wxEXPAND);

  wxButton* ok = LayOutAboveOkButton(*this, row);
  // Over the main window when there is one, as every other box.
  if (parent != nullptr) {
    CentreOnParent();
  } else {
    CentreOnScreen();
  }
  ok->SetFocus();
}

void ShowScrolledMessage(const wxString& text, const wxString& caption, long icon,
                         wxWindow* parent) {
  CLongMessageDlg dialog(parent, text, caption, icon);
  dialog.ShowModal();
}

}  // namespace platform
