// Help > Controls: the viewer's mouse and keyboard controls in one small
// window, from the table the README shows too.
#pragma once

#include <wx/dialog.h>

class wxListCtrl;

class CControlsDlg : public wxDialog {
 public:
  // Centred over parent (the main window).
  explicit CControlsDlg(wxWindow* parent);

  // The list of controls, two columns: input and action.
  wxListCtrl* GetList() const { return m_pList; }

 private:
  wxListCtrl* m_pList = nullptr;
};
