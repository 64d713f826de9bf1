#include "render/headless_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>

namespace {

#ifndef EGL_PLATFORM_SURFACELESS_MESA
#define EGL_PLATFORM_SURFACELESS_MESA 0x31DD
#endif

std::string EglErrorText(const char* what) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
  return std::string(what) + " failed (EGL error " + code + ")";
}

// Mesa's surfaceless platform needs no display server. eglGetPlatformDisplay
// is core in EGL 1.5; older loaders only offer the EXT entry point.
EGLDisplay OpenSurfacelessDisplay() {
  using GetPlatformDisplay = EGLDisplay (*)(EGLenum, void*, const EGLAttrib*);
  using GetPlatformDisplayExt = EGLDisplay (*)(EGLenum, void*, const EGLint*);
  if (auto core =
          reinterpret_cast<GetPlatformDisplay>(eglGetProcAddress("eglGetPlatformDisplay"))) {
    EGLDisplay display = core(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display != EGL_NO_DISPLAY) return display;
  }
  if (auto ext =
          reinterpret_cast<GetPlatformDisplayExt>(eglGetProcAddress("eglGetPlatformDisplayEXT"))) {
    return ext(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  }
  return EGL_NO_DISPLAY;
}

// Deepest depth buffer first; the software rasteriser offers 24 bits but
// not 32.
bool ChooseConfig(EGLDisplay display, EGLConfig& config) {
  for (EGLint depth : {32, 24, 16}) {
    const EGLint attribs[] = {EGL_SURFACE_TYPE,
                              EGL_PBUFFER_BIT,
                              EGL_RENDERABLE_TYPE,
                              EGL_OPENGL_BIT,
                              EGL_RED_SIZE,
                              8,
                              EGL_GREEN_SIZE,
                              8,
                              EGL_BLUE_SIZE,
                              8,
                              EGL_ALPHA_SIZE,
                              8,
                              EGL_DEPTH_SIZE,
                              depth,
                              EGL_STENCIL_SIZE,
                              8,
                              EGL_NONE};
    EGLint count = 0;
    if (eglChooseConfig(display, attribs, &config, 1, &count) && count > 0) return true;
  }
  return false;
}

}  // namespace

bool HeadlessGlContext::Create(int width, int height) {
  if (!BeginCreate(width, height)) return false;

  EGLDisplay display = OpenSurfacelessDisplay();
  if (display == EGL_NO_DISPLAY) {
    m_error = "no surfaceless EGL display is available";
    return false;
  }
  m_display = display;
  if (!eglInitialize(display, nullptr, nullptr)) {
    m_error = EglErrorText("eglInitialize");
    m_display = nullptr;
    return false;
  }
  if (!eglBindAPI(EGL_OPENGL_API)) {
    m_error = EglErrorText("eglBindAPI(OpenGL)");
    Destroy();
    return false;
  }
  EGLConfig config = nullptr;
  if (!ChooseConfig(display, config)) {
    m_error = "no EGL configuration with RGBA8, depth and stencil for an OpenGL pbuffer";
    Destroy();
    return false;
  }
  const EGLint surfaceAttribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttribs);
  if (surface == EGL_NO_SURFACE) {
    m_error = EglErrorText("eglCreatePbufferSurface");
    Destroy();
    return false;
  }
  m_surface = surface;
  // No version attributes: the default is a compatibility profile, which
  // keeps the fixed-function pipeline the viewer draws with.
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
  if (context == EGL_NO_CONTEXT) {
    m_error = EglErrorText("eglCreateContext");
    Destroy();
    return false;
  }
  m_context = context;
  if (!eglMakeCurrent(display, surface, surface, context)) {
    m_error = EglErrorText("eglMakeCurrent");
    Destroy();
    return false;
  }
  m_width = width;
  m_height = height;
  m_valid = true;
  return true;
}

bool HeadlessGlContext::MakeCurrent() const {
  return eglGetCurrentContext() == m_context ||
         eglMakeCurrent(m_display, m_surface, m_surface, m_context);
}

void HeadlessGlContext::Destroy() {
  if (m_display != nullptr) {
    EGLDisplay display = m_display;
    // Another context of the process may be current now; leave it so.
    if (m_context != nullptr && eglGetCurrentContext() == m_context) {
      eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    if (m_context != nullptr) eglDestroyContext(display, m_context);
    if (m_surface != nullptr) eglDestroySurface(display, m_surface);
    // The display is shared by every context of the process; terminating
    // it here would pull it from under another live context.
  }
  m_display = m_surface = m_context = nullptr;
  m_valid = false;
  m_width = m_height = 0;
}
