#include "view/model_info_dlg.h"

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/sizer.h>
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

constexpr int kOkX = 68;
constexpr int kOkY = 61;
constexpr int kOkWidth = 50;
constexpr int kOkHeight = 14;

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

// A count in a sunken box, its text centred both ways. The toolkit's
// static text draws no frame of its own and has no vertical alignment, so
// the frame is a panel and the text, one line high and as wide as the
// panel, is centred in it by a sizer.
void AddCountField(wxWindow* parent, int id, wxPoint position, wxSize size) {
  auto* frame = new wxPanel(parent, wxID_ANY, position, size, wxBORDER_SUNKEN);
  auto* text =
      new wxStaticText(frame, id, "Static", wxDefaultPosition, wxSize(frame->GetClientSize().x, -1),
                       wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->AddStretchSpacer();
  sizer->Add(text, 0, wxEXPAND);
  sizer->AddStretchSpacer();
  frame->SetSizer(sizer);
  frame->Layout();
}

}  // namespace

CModelInfoDlg::CModelInfoDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "Model Information", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
  for (const Row& row : kRows) {
    const wxPoint position = wxDLG_UNIT(this, wxPoint(kLabelX, row.y));
    const wxSize size = wxDLG_UNIT(this, wxSize(kLabelWidth, kRowHeight));
    // The toolkit draws a label's text at the top of its rectangle, and
    // the counts are centred in their boxes; so the label is one line high
    // and centred on the box's row, and both texts stand level.
    auto* label =
        new wxStaticText(this, wxID_STATIC, row.label, position, wxSize(size.x, wxDefaultCoord),
                         wxALIGN_LEFT | wxST_NO_AUTORESIZE);
    const int lineHeight = label->GetBestSize().y;
    label->SetSize(position.x, position.y + (size.y - lineHeight) / 2, size.x, lineHeight);
    AddCountField(this, row.id, wxDLG_UNIT(this, wxPoint(kValueX, row.y)),
                  wxDLG_UNIT(this, wxSize(kValueWidth, kRowHeight)));
  }
  auto* ok = new wxButton(this, wxID_OK, "OK", wxDLG_UNIT(this, wxPoint(kOkX, kOkY)),
                          wxDLG_UNIT(this, wxSize(kOkWidth, kOkHeight)));
  ok->SetDefault();
  SetClientSize(wxDLG_UNIT(this, wxSize(kDialogWidth, kDialogHeight)));
  // Over the main window, not wherever the window manager puts a new one.
  CentreOnParent();
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
