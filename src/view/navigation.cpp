// Mouse and keyboard navigation: the left drag turns the model, the right
// drag zooms, the keys pan, zoom, reset and switch the look. Every change
// goes into the document's camera and repaints without erasing, so the
// picture never flickers through the background colour.
#include <wx/event.h>

#include "doc/zorvik_doc.h"
#include "view/zorvik_view.h"

namespace {

constexpr double kDegreesPerPixel = 0.5;
constexpr double kDistancePerPixel = 0.5;
// Only the right-button zoom is held below this; the keys are not.
constexpr double kMaxDragDistance = 9000.0;

}  // namespace

// A drag holds the mouse, so a button released outside the view still ends
// it instead of leaving a drag that resumes on the next movement over the
// view. The capture is taken by the first button and given back when the
// last one comes up.
void CZorvikView::BeginDrag(wxMouseEvent& event, bool& down, wxPoint& last) {
  last = event.GetPosition();
  down = true;
  if (!HasCapture()) CaptureMouse();
  event.Skip();
}

void CZorvikView::EndDrag(wxMouseEvent& event, bool& down) {
  down = false;
  if (!m_bLeftDown && !m_bRightDown && !m_bMiddleDown && HasCapture()) ReleaseMouse();
  event.Skip();
}

void CZorvikView::OnLButtonDown(wxMouseEvent& event) {
  BeginDrag(event, m_bLeftDown, m_ptLastLeft);
}

void CZorvikView::OnLButtonUp(wxMouseEvent& event) { EndDrag(event, m_bLeftDown); }

void CZorvikView::OnRButtonDown(wxMouseEvent& event) {
  BeginDrag(event, m_bRightDown, m_ptLastRight);
}

void CZorvikView::OnRButtonUp(wxMouseEvent& event) { EndDrag(event, m_bRightDown); }

// Another window took the mouse (a dialog, the window manager): the
// button-up will never reach us, so both drags end here.
void CZorvikView::OnMouseCaptureLost(wxMouseCaptureLostEvent& event) {
  m_bLeftDown = false;
  m_bRightDown = false;
  event.Skip();
}

void CZorvikView::OnMouseMove(wxMouseEvent& event) {
  const wxPoint point = event.GetPosition();
  CZorvikDoc* doc = GetDocument();
  scene::Camera camera = doc->Camera();
  if (m_bLeftDown) {
    // Turning wins over zooming when both buttons are held.
    const int dx = m_ptLastLeft.x - point.x;
    const int dy = m_ptLastLeft.y - point.y;
    m_ptLastLeft = point;
    if (event.ControlDown()) {
      camera.dRotZ -= dx * kDegreesPerPixel;
    } else {
      camera.dRotY -= dx * kDegreesPerPixel;
      camera.dRotX -= dy * kDegreesPerPixel;
    }
    doc->SetCamera(camera);
    InvalidateView(false);
  } else if (m_bRightDown) {
    const int dy = m_ptLastRight.y - point.y;
    m_ptLastRight = point;
    camera.dDistance =
        std::min(ClampedDistance(camera.dDistance - dy * kDistancePerPixel), kMaxDragDistance);
    doc->SetCamera(camera);
    InvalidateView(false);
  }
  event.Skip();
}

namespace {

// With Num Lock off the keypad's Home, arrows, Page Up and Page Down are the
// same keys as the main ones to the user (and send the same codes on the
// system the program comes from); the toolkit reports them as keys of their
// own.
int MainKeyOf(int code) {
  switch (code) {
    case WXK_NUMPAD_HOME:
      return WXK_HOME;
    case WXK_NUMPAD_LEFT:
      return WXK_LEFT;
    case WXK_NUMPAD_UP:
      return WXK_UP;
    case WXK_NUMPAD_RIGHT:
      return WXK_RIGHT;
    case WXK_NUMPAD_DOWN:
      return WXK_DOWN;
    case WXK_NUMPAD_PAGEUP:
      return WXK_PAGEUP;
    case WXK_NUMPAD_PAGEDOWN:
      return WXK_PAGEDOWN;
    default:
      return code;
  }
}

}  // namespace

// One action per key-down, so auto-repeat keeps moving. The keypad digits
// have codes of their own and do nothing; only the main keyboard's 1 and 2
// switch the look.
void CZorvikView::OnKeyDown(wxKeyEvent& event) {
  CZorvikDoc& doc = *GetDocument();
  scene::Camera camera = doc.Camera();
  bool moved = true;
  switch (MainKeyOf(event.GetKeyCode())) {
    case WXK_PAGEUP:
      camera.dPanY -= m_dStep;
      break;
    case WXK_PAGEDOWN:
      camera.dPanY += m_dStep;
      break;
    case WXK_HOME:
      doc.ResetCamera();
      camera = doc.Camera();
      break;
    case WXK_LEFT:
      camera.dPanX += m_dStep;
      break;
    case WXK_RIGHT:
      camera.dPanX -= m_dStep;
      break;
    case WXK_UP:
    case WXK_NUMPAD_ADD:
      camera.dDistance = ClampedDistance(camera.dDistance - m_dStep);
      break;
    case WXK_DOWN:
    case WXK_NUMPAD_SUBTRACT:
      camera.dDistance += m_dStep;
      break;
    case '1':
      SetPolygonMode(kPolygonModeLine);
      moved = false;
      break;
    case '2':
      SetPolygonMode(kPolygonModeFill);
      moved = false;
      break;
    default:
      moved = false;
      break;
  }
  if (moved) {
    doc.SetCamera(camera);
    InvalidateView(false);
  }
  event.Skip();
}
