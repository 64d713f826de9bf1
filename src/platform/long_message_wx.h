// The message box for a text too long for a plain one: the same caption,
// text and icon (or none), but the text scrolls inside a box that fits on
// the screen, so that its OK button is always in reach. A list of a hundred
// missing textures is the usual case.
#pragma once

#include <wx/dialog.h>
#include <wx/string.h>

namespace platform {

// Whether the text stands taller than a plain message box may grow on the
// display of parent (or the main display without one).
bool NeedsScrolledMessage(const wxString& text, wxWindow* parent);

// Shows the text modally with one OK button; icon is wxICON_NONE,
// wxICON_EXCLAMATION or wxICON_ERROR.
void ShowScrolledMessage(const wxString& text, const wxString& caption, long icon,
                         wxWindow* parent);

class CLongMessageDlg : public wxDialog {
 public:
  CLongMessageDlg(wxWindow* parent, const wxString& text, const wxString& caption, long icon);

  // The window the text scrolls in.
  wxWindow* GetTextArea() const { return m_pTextArea; }

 private:
  wxWindow* m_pTextArea = nullptr;
};

}  // namespace platform
