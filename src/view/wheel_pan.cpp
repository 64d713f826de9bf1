// The mouse habits of desktop viewers, on top of the original navigation:
// the wheel zooms by the keys' step, a middle-button drag pans with the
// model following the pointer.
#include <wx/event.h>

#include <cstdlib>

#include "doc/zorvik_doc.h"
#include "render/scene.h"
#include "view/zorvik_view.h"

// One notch is one press of Up (away from the user) or Down (towards),
// with the same near limit and no far one. Fine-grained wheels send parts
// of a notch; they add up to whole steps.
void CZorvikView::OnMouseWheel(wxMouseEvent& event) {
  if (event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL || event.GetWheelDelta() <= 0) {
    event.Skip();
    return;
  }
  m_nWheelRemainder += event.GetWheelRotation();
  const int notches = m_nWheelRemainder / event.GetWheelDelta();
  m_nWheelRemainder -= notches * event.GetWheelDelta();
  if (notches == 0) return;

  CZorvikDoc& doc = *GetDocument();
  for (int i = 0; i < std::abs(notches); ++i) {
    if (notches > 0) {
      doc.m_dDistance -= m_dStep;
      if (doc.m_dDistance < kMinDistance) doc.m_dDistance = kMinDistance;
    } else {
      doc.m_dDistance += m_dStep;
    }
  }
  InvalidateView(false);
}

void CZorvikView::OnMButtonDown(wxMouseEvent& event) {
  m_ptLastMiddle = event.GetPosition();
  m_bMiddleDown = true;
  if (!HasCapture()) CaptureMouse();
  event.Skip();
}

void CZorvikView::OnMButtonUp(wxMouseEvent& event) {
  m_bMiddleDown = false;
  if (!m_bLeftDown && !m_bRightDown && HasCapture()) ReleaseMouse();
  event.Skip();
}

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
  const double units = scene::PanUnitsPerPixel(doc.m_dDistance, GetClientSize().y);
  doc.m_dPanX += moved.x * units;
  doc.m_dPanY -= moved.y * units;
  InvalidateView(false);
}
