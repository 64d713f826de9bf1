// An OpenGL context with no display at all: EGL on Mesa's surfaceless
// platform with an offscreen pbuffer. The headless renderer, `zorvik info`
// and the tests draw and upload textures through the same fixed-function
// calls as the window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class HeadlessGlContext {
 public:
  HeadlessGlContext() = default;
  ~HeadlessGlContext();
  HeadlessGlContext(const HeadlessGlContext&) = delete;
  HeadlessGlContext& operator=(const HeadlessGlContext&) = delete;

  // Creates the context with a width x height RGBA colour buffer, a depth
  // buffer and a stencil buffer, and makes it current. False with a reason
  // in error() when the machine offers none.
  bool Create(int width, int height);
  bool IsValid() const { return m_valid; }
  const std::string& error() const { return m_error; }
  int width() const { return m_width; }
  int height() const { return m_height; }

  // The colour buffer as 8-bit RGB (RGBA) rows, top row first.
  std::vector<std::uint8_t> ReadRgb() const;
  std::vector<std::uint8_t> ReadRgba() const;

 private:
  // The parts both systems share (headless_gl_common.cpp): the start of
  // Create, which lets the old context go and checks the size, and the
  // read-back.
  bool BeginCreate(int width, int height);
  std::vector<std::uint8_t> ReadPixels(int channels) const;
  // The system's own (headless_gl.cpp with EGL, headless_gl_win.cpp with
  // WGL): this context made current again, and its release.
  bool MakeCurrent() const;
  void Destroy();

  void* m_display = nullptr;
  void* m_surface = nullptr;
  void* m_context = nullptr;
  bool m_valid = false;
  int m_width = 0;
  int m_height = 0;
  std::string m_error;
};
