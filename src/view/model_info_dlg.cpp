#include "view/model_info_dlg.h"

#include <wx/button.h>
#include <wx/stattext.h>

#include "view/command_ids.h"

namespace {

// The layout in dialog units, so that it scales with the dialog font the
// way the rest of the desktop does.
constexpr int kDialogWidth = 186;
constexpr int kDialogHeight = 81;
constexpr int kLabelX = 37;
constexpr int kValueX = 87;
constexpr int kLabelWidth = 40;
constexpr int kValueWidth = 50;
constexpr int kRowHeight = 10;
constexpr int kPolygonsY = 6;
constexpr int kVerticesY = 21;
constexpr int kMaterialsY = 36;

struct Row {
  const char* label;
  int id;
  int y;
};

constexpr Row kRows[] = {
    {"Polygons", IDC_POLYGONS, kPolygonsY},
    {"Vertices", IDC_VERTICES, kVerticesY},
    {"Materials", IDC_MATERIALS, kMaterialsY},
};

}  // namespace

CModelInfoDlg::CModelInfoDlg(wxWindow* parent)
    : wxDialog(parent, IDD_MODEL_INFO, "Model Information", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
  for (const Row& row : kRows) {
    new wxStaticText(this, wxID_STATIC, row.label, wxDLG_UNIT(this, wxPoint(kLabelX, row.y)),
                     wxDLG_UNIT(this, wxSize(kLabelWidth, kRowHeight)),
                     wxALIGN_LEFT | wxST_NO_AUTORESIZE);
    // The fixed size keeps the sunken frame at its place whatever the count;
    // the text sits centred in it both ways.
    new wxStaticText(this, row.id, "Static", wxDLG_UNIT(this, wxPoint(kValueX, row.y)),
                     wxDLG_UNIT(this, wxSize(kValueWidth, kRowHeight)),
                     wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE | wxBORDER_SUNKEN);
  }
  auto* ok = new wxButton(this, wxID_OK, "OK", wxDLG_UNIT(this, wxPoint(68, 61)),
                          wxDLG_UNIT(this, wxSize(50, 14)));
  ok->SetDefault();
  SetClientSize(wxDLG_UNIT(this, wxSize(kDialogWidth, kDialogHeight)));
}

// Materials first, then polygons and vertices: the order the dialog has
// always filled its controls in.
bool CModelInfoDlg::TransferDataToWindow() {
  const struct {
    int id;
    const wxString& text;
  } values[] = {
      {IDC_MATERIALS, m_strMaterials},
      {IDC_POLYGONS, m_strPolygons},
      {IDC_VERTICES, m_strVertices},
  };
  for (const auto& value : values) {
    wxWindow* control = FindWindow(value.id);
    if (control == nullptr) return false;
    control->SetLabel(value.text);
  }
  return wxDialog::TransferDataToWindow();
}
