// The view's display commands: the two palettes, the two looks, the
// background colour and Model Information, with the toolbar and menu states
// that follow them.
#include <array>

#include <wx/event.h>
#include <wx/string.h>
#include <wx/toplevel.h>

#include "doc/zorvik_doc.h"
#include "platform/platform.h"
#include "view/model_info_dlg.h"
#include "view/zorvik_view.h"

namespace {

constexpr int kSanFranPalette = 0;
constexpr int kSeattlePalette = 1;

}  // namespace

// The second press of a double-click arrives here and not as a button-down,
// so it toggles the look without starting a drag.
void CZorvikView::OnLButtonDblClk(wxMouseEvent& event) {
  const int mode = GetDocument()->PolygonMode();
  SetPolygonMode(mode == kPolygonModeFill ? kPolygonModeLine : kPolygonModeFill);
  event.Skip();
}

// The document keeps the look and hands it to OpenGL; the draw and the
// check marks read it from there.
void CZorvikView::SetPolygonMode(int mode) {
  GetDocument()->SetPolygonMode(mode);
  InvalidateView(false);
}

// The open of File > Open, a drop, the folder's next model and a palette
// switch: the box over the window says what went wrong or is missing.
OpenResult CZorvikView::LoadIntoDocument(const std::string& path, int palette) {
  platform::Platform& ui = platform::Current();
  ui.BeginWaitCursor();
  const OpenResult result = m_pDocument->LoadModel(path, palette);
  for (const std::string& message : {result.ErrorMessage(), result.MissingTexturesMessage()}) {
    if (!message.empty()) ui.ShowMessage(message, platform::MsgIcon::None);
  }
  ui.RestoreArrowCursor();
  return result;
}

// Colours and textures depend on the palette, so the whole model is opened
// again, also for the palette already in use; that load refits the camera.
void CZorvikView::SwitchPalette(int index) {
  // The textures go into the context that draws them.
  if (!MakeContextCurrent()) return;
  CZorvikDoc* doc = GetDocument();
  const int previous = doc->PaletteIndex();
  doc->SetPaletteIndex(index);
  if (LoadIntoDocument(m_strModelPath, index).status == OpenStatus::kModelUnreadable) {
    // The file is gone or broken: the model on screen is still the one
    // converted through the old palette, so the choice goes back to it
    // rather than let the check mark and the saved region claim otherwise.
    doc->SetPaletteIndex(previous);
  } else {
    m_dStep = doc->FitDistance() * kKeyStepFactor;
  }
  InvalidateView(true);
}

void CZorvikView::OnViewSanfranPalette(wxCommandEvent&) { SwitchPalette(kSanFranPalette); }

void CZorvikView::OnViewSeattlePalette(wxCommandEvent&) { SwitchPalette(kSeattlePalette); }

void CZorvikView::OnViewWireframe(wxCommandEvent&) { SetPolygonMode(kPolygonModeLine); }

void CZorvikView::OnViewTextured(wxCommandEvent&) { SetPolygonMode(kPolygonModeFill); }

// A palette can only be switched for a model that has a path to reopen.
void CZorvikView::OnUpdateViewSanfranPalette(wxUpdateUIEvent& event) {
  event.Enable(!m_strModelPath.empty());
  event.Check(GetDocument()->PaletteIndex() == kSanFranPalette);
}

void CZorvikView::OnUpdateViewSeattlePalette(wxUpdateUIEvent& event) {
  event.Enable(!m_strModelPath.empty());
  event.Check(GetDocument()->PaletteIndex() == kSeattlePalette);
}

void CZorvikView::OnUpdateViewWireframe(wxUpdateUIEvent& event) {
  event.Enable(true);
  event.Check(GetDocument()->PolygonMode() == kPolygonModeLine);
}

void CZorvikView::OnUpdateViewTextured(wxUpdateUIEvent& event) {
  event.Enable(true);
  event.Check(GetDocument()->PolygonMode() == kPolygonModeFill);
}

// The colour dialog opens without the current colour preselected. Each byte
// becomes a product with 1/255 so that the stored colour matches what the
// configuration file reads back.
void CZorvikView::OnViewBkgndColor(wxCommandEvent&) {
  unsigned char rgb[3] = {0, 0, 0};
  if (platform::Current().AskColour(rgb)) {
    CZorvikDoc* doc = GetDocument();
    doc->SetBackground(rgb[0] * kByteToUnit, rgb[1] * kByteToUnit, rgb[2] * kByteToUnit);
    const std::array<double, 3> colour = doc->Background();
    scene::SetClearColour(colour[0], colour[1], colour[2]);
  }
  InvalidateView(true);
}

void CZorvikView::OnViewModelInfo(wxCommandEvent&) {
  int polygons = 0;
  int vertices = 0;
  int materials = 0;
  GetDocument()->GetModelCounts(&polygons, &vertices, &materials);
  CModelInfoDlg dlg(wxGetTopLevelParent(this));
  dlg.m_strPolygons = wxString::Format("%d", polygons);
  dlg.m_strVertices = wxString::Format("%d", vertices);
  dlg.m_strMaterials = wxString::Format("%d", materials);
  dlg.ShowModal();
}

// A step of 0.0 means no model has been fitted yet (or its box is a single
// point), so there is nothing worth counting.
void CZorvikView::OnUpdateViewModelInfo(wxUpdateUIEvent& event) { event.Enable(m_dStep != 0.0); }
