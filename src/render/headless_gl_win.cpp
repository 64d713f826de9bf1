// The Windows side of headless_gl.h. WGL makes contexts for windows only,
// so the context belongs to a window that is never shown; the pictures
// are drawn into its back buffer and read from there, which no other
// window can cover.
#include <windows.h>

#include <GL/gl.h>

#include "render/headless_gl.h"

namespace {

constexpr const wchar_t* kWindowClass = L"ZorvikHeadlessGl";

std::string LastErrorText(const char* what) {
  return std::string(what) + " failed (Windows error " + std::to_string(GetLastError()) + ")";
}

bool RegisterWindowClass() {
  static const bool registered = [] {
    WNDCLASSW windowClass{};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

// RGBA8 with the deepest depth buffer the driver offers, and stencil.
bool ChoosePixelFormat(HDC dc, std::string& error) {
  PIXELFORMATDESCRIPTOR wanted{};
  wanted.nSize = sizeof wanted;
  wanted.nVersion = 1;
  wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  wanted.iPixelType = PFD_TYPE_RGBA;
  wanted.cColorBits = 24;
  wanted.cAlphaBits = 8;
  wanted.cDepthBits = 32;
  wanted.cStencilBits = 8;
  wanted.iLayerType = PFD_MAIN_PLANE;
  const int format = ::ChoosePixelFormat(dc, &wanted);
  if (format == 0) {
    error = LastErrorText("ChoosePixelFormat");
    return false;
  }
  if (!SetPixelFormat(dc, format, &wanted)) {
    error = LastErrorText("SetPixelFormat");
    return false;
  }
  return true;
}

}  // namespace

bool HeadlessGlContext::Create(int width, int height) {
  if (!BeginCreate(width, height)) return false;
  // Whatever was made before the step that failed goes again.
  const auto fail = [this](const char* call) {
    if (call != nullptr) m_error = LastErrorText(call);
    Destroy();
    return false;
  };
  if (!RegisterWindowClass()) return fail("RegisterClass");
  // A pop-up has no frame, so its client area is the size asked for.
  HWND window = CreateWindowExW(0, kWindowClass, L"Zorvik", WS_POPUP | WS_CLIPCHILDREN, 0, 0, width,
                                height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) return fail("CreateWindow");
  m_display = window;
  HDC dc = GetDC(window);
  if (dc == nullptr) return fail("GetDC");
  m_surface = dc;
  if (!ChoosePixelFormat(dc, m_error)) return fail(nullptr);
  HGLRC context = wglCreateContext(dc);
  if (context == nullptr) return fail("wglCreateContext");
  m_context = context;
  if (!wglMakeCurrent(dc, context)) return fail("wglMakeCurrent");
  glDrawBuffer(GL_BACK);
  glReadBuffer(GL_BACK);
  m_width = width;
  m_height = height;
  m_valid = true;
  return true;
}

bool HeadlessGlContext::MakeCurrent() const {
  HGLRC context = static_cast<HGLRC>(m_context);
  return wglGetCurrentContext() == context || wglMakeCurrent(static_cast<HDC>(m_surface), context);
}

void HeadlessGlContext::Destroy() {
  HGLRC context = static_cast<HGLRC>(m_context);
  if (context != nullptr) {
    if (wglGetCurrentContext() == context) wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
  }
  if (m_surface != nullptr) ReleaseDC(static_cast<HWND>(m_display), static_cast<HDC>(m_surface));
  if (m_display != nullptr) DestroyWindow(static_cast<HWND>(m_display));
  m_display = m_surface = m_context = nullptr;
  m_valid = false;
  m_width = m_height = 0;
}
