#include "render/framebuffer.h"

#include <GL/gl.h>

#include <cstring>

namespace render {

std::vector<std::uint8_t> ReadDrawBuffer(int width, int height, int channels) {
  if (width <= 0 || height <= 0 || (channels != 3 && channels != 4)) return {};
  // The scene set-up asks for GL_BACK; whether the surface honours that or
  // keeps a single buffer, reading the buffer currently drawn into returns
  // exactly what the last frame rendered.
  GLint drawBuffer = GL_BACK;
  glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
  glReadBuffer(static_cast<GLenum>(drawBuffer));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glPixelStorei(GL_PACK_SKIP_ROWS, 0);
  glPixelStorei(GL_PACK_SKIP_PIXELS, 0);

  const std::size_t row = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
  std::vector<std::uint8_t> pixels(row * static_cast<std::size_t>(height));
  glReadPixels(0, 0, width, height, channels == 4 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE,
               pixels.data());

  // OpenGL's rows start at the bottom; images start at the top.
  std::vector<std::uint8_t> scratch(row);
  for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
    std::uint8_t* a = pixels.data() + row * static_cast<std::size_t>(top);
    std::uint8_t* b = pixels.data() + row * static_cast<std::size_t>(bottom);
    std::memcpy(scratch.data(), a, row);
    std::memcpy(a, b, row);
    std::memcpy(b, scratch.data(), row);
  }
  return pixels;
}

}  // namespace render
