// The view's window, its OpenGL context, painting and File Open.
#include "view/quodra_view.h"

#include <wx/dcclient.h>
#include <wx/toplevel.h>

#include "doc/app_paths.h"
#include "doc/quodra_doc.h"
#include "platform/platform.h"
#include "view/command_ids.h"
#include "view/scene_setup.h"

// Last: the X11 headers define macros (None among them) that clash with
// names in the headers above.
#include <GL/glx.h>

namespace {

// Read from the document's camera fit after every open: the pan and zoom
// keys move by this share of the fit distance.
constexpr double kKeyStepFactor = 0.02;

// Stands for "the display offered nothing we asked for" as format 1 did:
// the platform's own defaults are in use.
constexpr int kFallbackPixelFormat = 1;
// The display chose a format matching the request; it keeps the number to
// itself, so any value other than 0 and the fallback's would do.
constexpr int kRequestedPixelFormat = 2;

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
bool IsContextCurrent(const CQuodraView& view) {
  return view.m_hRC != nullptr && glXGetCurrentContext() != nullptr && view.GetXWindow() != 0 &&
         glXGetCurrentDrawable() == view.GetXWindow();
}

}  // namespace

CQuodraView::CQuodraView(wxWindow* parent, CQuodraDoc* doc, const wxGLAttributes& attrs)
    : wxGLCanvas(parent, attrs, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS),
      m_pDocument(doc) {
  // Every pixel is painted by OpenGL; letting the toolkit fill the window
  // first would only flicker.
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  CreateGLContext();
  BindHandlers();
}

CQuodraView::~CQuodraView() {
  // Deleting the context releases it first when it is current.
  delete m_hRC;
  m_hRC = nullptr;
}

wxGLAttributes CQuodraView::ChoosePixelFormat(int* pixelFormat) {
  wxGLAttributes attrs;
  attrs.PlatformDefaults()
      .RGBA()
      .DoubleBuffer()
      .MinRGBA(8, 8, 8, 0)
      .Depth(32)
      .Stencil(8)
      .MinAcumRGBA(16, 16, 16, 0)
      .EndList();
  if (wxGLCanvas::IsDisplaySupported(attrs)) {
    *pixelFormat = kRequestedPixelFormat;
    return attrs;
  }
  // Many displays (Mesa under a virtual X server among them) offer no
  // 32-bit depth buffer; their defaults still give a double-buffered RGBA
  // surface with a depth buffer.
  wxGLAttributes fallback;
  fallback.PlatformDefaults().Defaults().EndList();
  *pixelFormat = kFallbackPixelFormat;
  return fallback;
}

bool CQuodraView::CreateGLContext() {
  m_hRC = new wxGLContext(this);
  if (!m_hRC->IsOK()) {
    delete m_hRC;
    m_hRC = nullptr;
    return false;
  }
  return true;
}

void CQuodraView::BindHandlers() {
  Bind(wxEVT_MENU, &CQuodraView::OnFileOpen, this, ID_FILE_OPEN);
  Bind(wxEVT_PAINT, &CQuodraView::OnPaint, this);
  Bind(wxEVT_ERASE_BACKGROUND, &CQuodraView::OnEraseBackground, this);
  Bind(wxEVT_SIZE, &CQuodraView::OnSize, this);
  Bind(wxEVT_LEFT_DOWN, &CQuodraView::OnLButtonDown, this);
  Bind(wxEVT_LEFT_UP, &CQuodraView::OnLButtonUp, this);
  Bind(wxEVT_MOTION, &CQuodraView::OnMouseMove, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &CQuodraView::OnMouseCaptureLost, this);
  Bind(wxEVT_KEY_DOWN, &CQuodraView::OnKeyDown, this);
  Bind(wxEVT_UPDATE_UI, &CQuodraView::OnUpdateViewSanfranPalette, this, ID_VIEW_SANFRAN_PALETTE);
  Bind(wxEVT_UPDATE_UI, &CQuodraView::OnUpdateViewSeattlePalette, this, ID_VIEW_SEATTLE_PALETTE);
  Bind(wxEVT_UPDATE_UI, &CQuodraView::OnUpdateViewWireframe, this, ID_VIEW_WIREFRAME);
  Bind(wxEVT_UPDATE_UI, &CQuodraView::OnUpdateViewTextured, this, ID_VIEW_TEXTURED);
  Bind(wxEVT_MENU, &CQuodraView::OnViewTextured, this, ID_VIEW_TEXTURED);
  Bind(wxEVT_MENU, &CQuodraView::OnViewWireframe, this, ID_VIEW_WIREFRAME);
  Bind(wxEVT_MENU, &CQuodraView::OnViewSanfranPalette, this, ID_VIEW_SANFRAN_PALETTE);
  Bind(wxEVT_MENU, &CQuodraView::OnViewSeattlePalette, this, ID_VIEW_SEATTLE_PALETTE);
  Bind(wxEVT_RIGHT_DOWN, &CQuodraView::OnRButtonDown, this);
  Bind(wxEVT_RIGHT_UP, &CQuodraView::OnRButtonUp, this);
  Bind(wxEVT_LEFT_DCLICK, &CQuodraView::OnLButtonDblClk, this);
  Bind(wxEVT_MENU, &CQuodraView::OnViewBkgndColor, this, ID_VIEW_BKGND_COLOR);
  Bind(wxEVT_UPDATE_UI, &CQuodraView::OnUpdateViewModelInfo, this, ID_VIEW_MODEL_INFO);
  Bind(wxEVT_MENU, &CQuodraView::OnViewModelInfo, this, ID_VIEW_MODEL_INFO);
  Bind(wxEVT_MENU, &CQuodraView::OnFileSave, this, ID_FILE_SAVE);
}

// The toolkit can bind a context only to a window that exists on the
// display, which happens some time after the view is created. The first
// resize or paint that finds it there makes the context current, for good,
// and sets the scene up with the document's values of that moment: at
// start-up those are the configured ones, so the first picture already
// shows the configured background.
namespace {

bool MakeContextCurrent(CQuodraView& view) {
  if (IsContextCurrent(view)) return true;
  if (view.m_hRC == nullptr || !view.IsShownOnScreen()) return false;
  if (!view.SetCurrent(*view.m_hRC)) return false;
  const wxSize size = DeviceClientSize(view);
  SetupScene(*view.GetDocument(), size.x, size.y);
  return true;
}

}  // namespace

void CQuodraView::OnSize(wxSizeEvent& event) {
  event.Skip();
  if (IsContextCurrent(*this)) {
    const wxSize size = DeviceClientSize(*this);
    SetupScene(*m_pDocument, size.x, size.y);
  } else {
    MakeContextCurrent(*this);
  }
  m_nPalette = m_pDocument->m_nPalette;
}

void CQuodraView::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  if (!IsContextCurrent(*this)) {
    if (!MakeContextCurrent(*this)) return;
    m_nPalette = m_pDocument->m_nPalette;
  }
  m_pDocument->DrawScene();
  SwapBuffers();
}

void CQuodraView::OnEraseBackground(wxEraseEvent&) {}

void CQuodraView::OnFileOpen(wxCommandEvent&) {
  platform::OpenFileRequest request;
  request.strDefaultExt = kModelExtension;
  request.strFilter = kModelFilter;
  request.strInitialDir = AppPaths().GetLastOpenDir();
  request.bMustExist = true;
  std::string path;
  if (platform::Current().AskOpenFile(request, path)) {
    OpenModel(path);
  } else {
    InvalidateView(false);
  }
}

void CQuodraView::OpenModel(const std::string& path) {
  const std::string previousPath = m_strModelPath;
  m_strModelPath = path;
  // A file that could not be read leaves the previous model in place, so
  // everything that names or follows it stays as it was too.
  if (m_pDocument->LoadModel(path, m_nPalette) == -2) {
    m_strModelPath = previousPath;
    InvalidateView(false);
    return;
  }
  m_dStep = m_pDocument->m_dFitDistance * kKeyStepFactor;
  if (wxWindow* top = wxGetTopLevelParent(this)) {
    top->SetLabel(wxString::FromUTF8(kModelTitlePrefix + path));
  }
  const std::size_t slash = m_strModelPath.find_last_of("/\\");
  const std::string dir =
      slash == std::string::npos ? m_strModelPath : m_strModelPath.substr(0, slash);
  AppPaths().SetLastOpenDir(dir);
  InvalidateView(false);
}

void CQuodraView::InvalidateView(bool erase) { Refresh(erase); }
