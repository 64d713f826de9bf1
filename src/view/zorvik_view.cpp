// The view's window, its OpenGL context, painting and File Open.
#include "view/zorvik_view.h"

#include <utility>

#include <wx/dcclient.h>
#include <wx/toplevel.h>

#include "doc/app_paths.h"
#include "doc/zorvik_doc.h"
#include "io/path_parts.h"
#include "platform/platform.h"
#include "render/frame_memory.h"
#include "view/command_binding.h"
#include "view/command_ids.h"
#include "view/view_events.h"

// Last: the X11 headers define macros (None among them) that clash with
// names in the headers above.
#ifdef __WXMSW__
#include <windows.h>
#else
#include <GL/glx.h>
#endif

namespace {

constexpr const char* kModelTitlePrefix = "Zorvik - ";
constexpr const char* kModelFilter = "LGMD 3D Models (*.bin)|*.bin";
constexpr const char* kModelExtension = "bin";

// The client area in device pixels, as OpenGL counts them.
wxSize DeviceClientSize(const wxWindow& window) {
  const wxSize size = window.GetClientSize();
  const double scale = window.GetContentScaleFactor();
  return {static_cast<int>(size.x * scale + 0.5), static_cast<int>(size.y * scale + 0.5)};
}

// Whether the thread has a context current on this view's window. Only the
// view's own context is ever bound there, so this says whether it is the
// current one.
bool IsContextCurrent(const CZorvikView& view, const wxGLContext* context) {
#ifdef __WXMSW__
  return context != nullptr && wglGetCurrentContext() != nullptr &&
         wglGetCurrentDC() == view.GetHDC();
#else
  return context != nullptr && glXGetCurrentContext() != nullptr && view.GetXWindow() != 0 &&
         glXGetCurrentDrawable() == view.GetXWindow();
#endif
}

}  // namespace

CZorvikView::CZorvikView(wxWindow* parent, CZorvikDoc* doc, const wxGLAttributes& attrs)
    : wxGLCanvas(parent, attrs, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS),
      m_pDocument(doc) {
  // Every pixel is painted by OpenGL; letting the toolkit fill the window
  // first would only flicker.
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  CreateGLContext();
  BindHandlers();
}

CZorvikView::~CZorvikView() {
  // Deleting the context releases it first when it is current.
  delete m_hRC;
  m_hRC = nullptr;
}

namespace {

// A double-buffered RGBA surface with the depth, stencil and accumulation
// sizes given; 0 leaves that buffer out of the request.
wxGLAttributes Surface(int depth, int stencil, int accum) {
  wxGLAttributes attrs;
  attrs.PlatformDefaults().RGBA().DoubleBuffer().MinRGBA(8, 8, 8, 0).Depth(depth);
  if (stencil > 0) attrs.Stencil(stencil);
  if (accum > 0) attrs.MinAcumRGBA(accum, accum, accum, 0);
  attrs.EndList();
  return attrs;
}

}  // namespace

// The request first: depth 32, stencil 8, accumulation 16 a colour. Many
// displays (Mesa under a virtual X server among them) offer no 32-bit depth
// buffer; the nearest surfaces follow. Never a multisampled one: it would
// smooth edges and wire lines unlike the headless picture.
wxGLAttributes CZorvikView::ChoosePixelFormat() {
  const wxGLAttributes choices[] = {Surface(32, 8, 16), Surface(24, 8, 16), Surface(24, 0, 0)};
  for (const wxGLAttributes& attrs : choices) {
    if (wxGLCanvas::IsDisplaySupported(attrs)) return attrs;
  }
  return Surface(16, 0, 0);
}

bool CZorvikView::CreateGLContext() {
  // The window draws frame after frame; the driver's per-frame memory
  // should be reused, not mapped anew each time.
  render::KeepFreedMemoryForFrames();
  m_hRC = new wxGLContext(this);
  if (!m_hRC->IsOK()) {
    delete m_hRC;
    m_hRC = nullptr;
    return false;
  }
  return true;
}

bool CZorvikView::HasCurrentContext() const { return IsContextCurrent(*this, m_hRC); }

void CZorvikView::BindHandlers() {
  Bind(wxEVT_PAINT, &CZorvikView::OnPaint, this);
  Bind(wxEVT_ERASE_BACKGROUND, &CZorvikView::OnEraseBackground, this);
  Bind(wxEVT_SIZE, &CZorvikView::OnSize, this);
  Bind(wxEVT_LEFT_DOWN, &CZorvikView::OnLButtonDown, this);
  Bind(wxEVT_LEFT_UP, &CZorvikView::OnLButtonUp, this);
  Bind(wxEVT_MOTION, &CZorvikView::OnMouseMove, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &CZorvikView::OnMouseCaptureLost, this);
  Bind(wxEVT_KEY_DOWN, &CZorvikView::OnKeyDown, this);
  Bind(wxEVT_RIGHT_DOWN, &CZorvikView::OnRButtonDown, this);
  Bind(wxEVT_RIGHT_UP, &CZorvikView::OnRButtonUp, this);
  Bind(wxEVT_LEFT_DCLICK, &CZorvikView::OnLButtonDblClk, this);
  using V = CZorvikView;
  static constexpr CommandBinding<V> kCommands[] = {
      {ID_FILE_OPEN, &V::OnFileOpen},
      {ID_FILE_IMPORT, &V::OnFileImport},
      {ID_VIEW_SANFRAN_PALETTE, &V::OnViewSanfranPalette, &V::OnUpdateViewSanfranPalette},
      {ID_VIEW_SEATTLE_PALETTE, &V::OnViewSeattlePalette, &V::OnUpdateViewSeattlePalette},
      {ID_VIEW_WIREFRAME, &V::OnViewWireframe, &V::OnUpdateViewWireframe},
      {ID_VIEW_TEXTURED, &V::OnViewTextured, &V::OnUpdateViewTextured},
      {ID_VIEW_BKGND_COLOR, &V::OnViewBkgndColor},
      {ID_VIEW_MODEL_INFO, &V::OnViewModelInfo, &V::OnUpdateViewModelInfo},
      // Save and Export both need a model to write.
      {ID_FILE_SAVE, &V::OnFileSave, &V::OnUpdateFileExport},
      {ID_FILE_EXPORT, &V::OnFileExport, &V::OnUpdateFileExport},
  };
  BindCommands<V>(this, kCommands);
  BindDesktopHandlers();
}

// The toolkit can bind a context only to a window that exists on the
// display, which happens some time after the view is created: with a window
// manager, only once the manager has mapped the frame. The first resize or
// paint that finds it there makes the context current, for good, and sets
// the scene up with the document's values of that moment: at start-up those
// are the configured ones, so the first picture already shows the
// configured background.
bool CZorvikView::MakeContextCurrent() {
  if (IsContextCurrent(*this, m_hRC)) return true;
  if (m_hRC == nullptr || !IsShownOnScreen()) return false;
  if (!SetCurrent(*m_hRC)) return false;
  const wxSize size = DeviceClientSize(*this);
  m_pDocument->SetupScene(size.x, size.y);
  return true;
}

void CZorvikView::CallWhenShown(std::function<void()> action) {
  const bool first = m_vecWhenShown.empty();
  m_vecWhenShown.push_back(std::move(action));
  if (first && m_bPainted) CallAfter(&CZorvikView::RunWhenShown);
}

void CZorvikView::RunWhenShown() {
  // An action may ask for more (a model opened from a message's loop):
  // those wait for the next turn rather than change the list being run.
  const std::vector<std::function<void()>> actions = std::exchange(m_vecWhenShown, {});
  for (const auto& action : actions) action();
}

void CZorvikView::OnSize(wxSizeEvent& event) {
  event.Skip();
  if (IsContextCurrent(*this, m_hRC)) {
    const wxSize size = DeviceClientSize(*this);
    m_pDocument->SetupScene(size.x, size.y);
  } else {
    MakeContextCurrent();
  }
}

void CZorvikView::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  if (!MakeContextCurrent()) return;
  m_pDocument->DrawScene();
  SwapBuffers();
  // The display sends a paint only for a window it shows: from here on the
  // window stands where the window manager put it, and a box centred on it
  // lands over it. What waited for that runs after this event, so that no
  // message box stands in the middle of a paint.
  if (!m_bPainted) {
    m_bPainted = true;
    if (!m_vecWhenShown.empty()) CallAfter(&CZorvikView::RunWhenShown);
  }
}

void CZorvikView::OnEraseBackground(wxEraseEvent&) {}

void CZorvikView::OnFileOpen(wxCommandEvent&) { AskAndOpen(kModelFilter, kModelExtension); }

// File Open and File Import differ only in the files their dialog offers.
void CZorvikView::AskAndOpen(const char* filter, const char* defaultExt) {
  platform::OpenFileRequest request;
  request.strDefaultExt = defaultExt;
  request.strFilter = filter;
  request.strInitialDir = AppPaths().GetLastOpenDir();
  request.bMustExist = true;
  std::string path;
  if (platform::Current().AskOpenFile(request, path)) {
    OpenModel(path);
  } else {
    InvalidateView(false);
  }
}

bool CZorvikView::OpenModel(const std::string& path) {
  // Uploads into no context at all would leave every texture white; and
  // what waits for the window (a start-up message) comes first.
  if (!MakeContextCurrent() || !m_vecWhenShown.empty()) {
    CallWhenShown([this, path] { OpenModel(path); });
    return false;
  }
  const std::string previousPath = m_strModelPath;
  m_strModelPath = path;
  // A file that could not be read leaves the previous model in place, so
  // everything that names or follows it stays as it was too.
  if (LoadIntoDocument(path, m_pDocument->PaletteIndex()).status == OpenStatus::kModelUnreadable) {
    m_strModelPath = previousPath;
    InvalidateView(false);
    return false;
  }
  m_dStep = m_pDocument->FitDistance() * kKeyStepFactor;
  if (wxWindow* top = wxGetTopLevelParent(this)) {
    top->SetLabel(wxString::FromUTF8(kModelTitlePrefix + path));
  }
  if (const PathStatus status = AppPaths().SetLastOpenDir(DirectoryOf(m_strModelPath));
      status != PathStatus::kOk) {
    ShowError(PathMessage(status));
  }
  InvalidateView(false);

  wxCommandEvent opened(EVT_ZORVIK_MODEL_OPENED, GetId());
  opened.SetEventObject(this);
  opened.SetString(wxString::FromUTF8(path));
  ProcessWindowEvent(opened);
  return true;
}

void CZorvikView::InvalidateView(bool erase) { Refresh(erase); }
