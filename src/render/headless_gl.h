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
  void Destroy();
  std::vector<std::uint8_t> ReadPixels(int channels) const;

  void* m_display = nullptr;
  void* m_surface = nullptr;
  void* m_context = nullptr;
  bool m_valid = false;
  int m_width = 0;
  int m_height = 0;
  std::string m_error;
};
