// The mouse habits of desktop viewers, on top of the original navigation:
// the wheel zooms by a factor per notch, a middle-button drag pans with the
// model following the pointer.
#include <wx/event.h>

#include <algorithm>
#include <cmath>

#include "doc/zorvik_doc.h"
#include "render/scene.h"
#include "view/zorvik_view.h"

// One notch away from the user brings the camera this factor closer, one
// towards the user takes it as far back: a notch in and a notch out return
// to the same view, and the model grows by about a tenth a notch at any
// distance, as in the viewers users know.
void CZorvikView::OnMouseWheel(wxMouseEvent& event) {
  if (event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL || event.GetWheelDelta() <= 0) {
    event.Skip();
    return;
  }
  // High-resolution wheels and touchpads send parts of a notch; each part
  // zooms by its share, so a slow swipe zooms smoothly.
  const double notches =
      static_cast<double>(event.GetWheelRotation()) / static_cast<double>(event.GetWheelDelta());
  if (notches == 0.0) return;
  CZorvikDoc& doc = *GetDocument();
  scene::Camera camera = doc.Camera();
  camera.dDistance = ClampedDistance(camera.dDistance / std::pow(kWheelZoomFactor, notches));
  doc.SetCamera(camera);
  InvalidateView(false);
}

void CZorvikView::OnMButtonDown(wxMouseEvent& event) {
  BeginDrag(event, m_bMiddleDown, m_ptLastMiddle);
}

void CZorvikView::OnMButtonUp(wxMouseEvent& event) { EndDrag(event, m_bMiddleDown); }

// Turning and zooming win while their buttons are held. A release that
// happened where the view could not see it ends the drag here.
void CZorvikView::OnMiddleDrag(wxMouseEvent& event) {
  event.Skip();
  if (!m_bMiddleDown) return;
  if (!event.MiddleIsDown()) {
    m_bMiddleDown = false;
    return;
  }
  const wxPoint point = event.GetPosition();
  const wxPoint moved = point - m_ptLastMiddle;
  m_ptLastMiddle = point;
  if (m_bLeftDown || m_bRightDown) return;

  CZorvikDoc& doc = *GetDocument();
  scene::Camera camera = doc.Camera();
  const double units = scene::PanUnitsPerPixel(camera.dDistance, GetClientSize().y);
  camera.dPanX += moved.x * units;
  camera.dPanY -= moved.y * units;
  doc.SetCamera(camera);
  InvalidateView(false);
}
