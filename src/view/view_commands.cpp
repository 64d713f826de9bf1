// The view's display commands: the two palettes, the two looks, the
// background colour and Model Information, with the toolbar and menu states
// that follow them.
#include <GL/gl.h>

#include <wx/event.h>
#include <wx/string.h>

#include "doc/quodra_doc.h"
#include "platform/platform.h"
#include "view/model_info_dlg.h"
#include "view/quodra_view.h"

namespace {

constexpr double kKeyStepFactor = 0.02;
constexpr int kSanFranPalette = 0;
constexpr int kSeattlePalette = 1;
// LoadModel's result when the file itself could not be read: nothing was
// replaced, so the view keeps what it shows.
constexpr int kModelNotRead = -2;

}  // namespace

// The second press of a double-click arrives here and not as a button-down,
// so it toggles the look without starting a drag.
void CQuodraView::OnLButtonDblClk(wxMouseEvent& event) {
  SetPolygonMode(m_nPolygonMode == kPolygonModeFill ? kPolygonModeLine : kPolygonModeFill);
  event.Skip();
}

// The mode is kept in three places: OpenGL draws outlines or faces, the
// model decides whether to texture, the view drives the check marks.
void CQuodraView::SetPolygonMode(int mode) {
  glPolygonMode(GL_FRONT_AND_BACK, static_cast<GLenum>(mode));
  GetDocument()->m_model.m_nPolygonMode = mode;
  m_nPolygonMode = mode;
  InvalidateView(false);
}

// Colours and textures depend on the palette, so the whole model is opened
// again, also for the palette already in use; that load refits the camera.
void CQuodraView::SwitchPalette(int index) {
  CQuodraDoc* doc = GetDocument();
  const int previous = m_nPalette;
  m_nPalette = index;
  doc->m_nPalette = index;
  if (doc->LoadModel(m_strModelPath, m_nPalette) == kModelNotRead) {
    // The file is gone or broken: the model on screen is still the one
    // converted through the old palette, so the choice goes back to it
    // rather than let the check mark and the saved region claim otherwise.
    m_nPalette = previous;
    doc->m_nPalette = previous;
  } else {
    m_dStep = doc->m_dFitDistance * kKeyStepFactor;
  }
  InvalidateView(true);
}

void CQuodraView::OnViewSanfranPalette(wxCommandEvent&) { SwitchPalette(kSanFranPalette); }

void CQuodraView::OnViewSeattlePalette(wxCommandEvent&) { SwitchPalette(kSeattlePalette); }

void CQuodraView::OnViewWireframe(wxCommandEvent&) { SetPolygonMode(kPolygonModeLine); }

void CQuodraView::OnViewTextured(wxCommandEvent&) { SetPolygonMode(kPolygonModeFill); }

// A palette can only be switched for a model that has a path to reopen.
void CQuodraView::OnUpdateViewSanfranPalette(wxUpdateUIEvent& event) {
  event.Enable(!m_strModelPath.empty());
  event.Check(m_nPalette == kSanFranPalette);
}

void CQuodraView::OnUpdateViewSeattlePalette(wxUpdateUIEvent& event) {
  event.Enable(!m_strModelPath.empty());
  event.Check(m_nPalette == kSeattlePalette);
}

void CQuodraView::OnUpdateViewWireframe(wxUpdateUIEvent& event) {
  event.Enable(true);
  event.Check(m_nPolygonMode == kPolygonModeLine);
}

void CQuodraView::OnUpdateViewTextured(wxUpdateUIEvent& event) {
  event.Enable(true);
  event.Check(m_nPolygonMode == kPolygonModeFill);
}

// The colour dialog opens without the current colour preselected. Each byte
// becomes a product with 1/255 so that the stored colour matches what the
// configuration file reads back.
void CQuodraView::OnViewBkgndColor(wxCommandEvent&) {
  unsigned char rgb[3] = {0, 0, 0};
  if (platform::Current().AskColour(rgb)) {
    CQuodraDoc* doc = GetDocument();
    doc->m_dBkRed = rgb[0] * kByteToUnit;
    doc->m_dBkGreen = rgb[1] * kByteToUnit;
    doc->m_dBkBlue = rgb[2] * kByteToUnit;
    glClearColor(static_cast<float>(doc->m_dBkRed), static_cast<float>(doc->m_dBkGreen),
                 static_cast<float>(doc->m_dBkBlue), 1.0f);
  }
  InvalidateView(true);
}

void CQuodraView::OnViewModelInfo(wxCommandEvent&) {
  int polygons = 0;
  int vertices = 0;
  int materials = 0;
  GetDocument()->GetModelCounts(&polygons, &vertices, &materials);
  CModelInfoDlg dlg;
  dlg.m_strPolygons = wxString::Format("%d", polygons);
  dlg.m_strVertices = wxString::Format("%d", vertices);
  dlg.m_strMaterials = wxString::Format("%d", materials);
  dlg.ShowModal();
}

// A step of 0.0 means no model has been fitted yet (or its box is a single
// point), so there is nothing worth counting.
void CQuodraView::OnUpdateViewModelInfo(wxUpdateUIEvent& event) { event.Enable(m_dStep != 0.0); }
