// The small dialog that shows the open model's polygon, vertex and material
// counts.
#pragma once

#include <wx/dialog.h>
#include <wx/string.h>

class CModelInfoDlg : public wxDialog {
 public:
  // Centred over parent (the main window).
  explicit CModelInfoDlg(wxWindow* parent = nullptr);

  // Moves the three counts into their controls when the dialog opens.
  bool TransferDataToWindow() override;

  wxString m_strMaterials;
  wxString m_strPolygons;
  wxString m_strVertices;
};
