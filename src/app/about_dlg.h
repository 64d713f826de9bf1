// The About box: the application icon, the version and a notice line.
#pragma once

#include <wx/dialog.h>

class CAboutDlg : public wxDialog {
 public:
  explicit CAboutDlg(wxWindow* parent = nullptr);

  // Nothing to move between members and controls.
  bool TransferDataToWindow() override { return true; }
  bool TransferDataFromWindow() override { return true; }
};
