// What the EGL and WGL sides of the headless context share.
#include <string>

#include "render/framebuffer.h"
#include "render/headless_gl.h"

namespace {

// Far beyond any window the viewer opens; keeps a typo from asking the
// driver for gigabytes.
constexpr int kMaxSide = 16384;

}  // namespace

HeadlessGlContext::~HeadlessGlContext() { Destroy(); }

bool HeadlessGlContext::BeginCreate(int width, int height) {
  Destroy();
  m_error.clear();
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
    m_error = "invalid size " + std::to_string(width) + "x" + std::to_string(height);
    return false;
  }
  return true;
}

std::vector<std::uint8_t> HeadlessGlContext::ReadRgb() const { return ReadPixels(3); }

std::vector<std::uint8_t> HeadlessGlContext::ReadRgba() const { return ReadPixels(4); }

// Reads this context's pixels even when another one was made current since.
std::vector<std::uint8_t> HeadlessGlContext::ReadPixels(int channels) const {
  if (!m_valid || !MakeCurrent()) return {};
  return render::ReadDrawBuffer(m_width, m_height, channels);
}
