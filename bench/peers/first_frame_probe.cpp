// Preloaded into a GLX program to time its start: the process ends right
// after the first buffer swap that puts a picture on the screen, so a
// process-level timer measures start to first painted frame. With
// FIRST_FRAME_NEEDS_PICTURE=1 a swap of a frame that is one colour only
// (a window cleared before its model is loaded) does not count.
#include <GL/gl.h>
#include <GL/glx.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using SwapFn = void (*)(Display*, GLXDrawable);

// The middle row and column of the back buffer: a model in view crosses
// at least one of them.
bool ShowsPicture() {
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  const int width = viewport[2];
  const int height = viewport[3];
  if (width <= 0 || height <= 0) return false;
  std::vector<GLubyte> row(static_cast<std::size_t>(width) * 4);
  std::vector<GLubyte> column(static_cast<std::size_t>(height) * 4);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, height / 2, width, 1, GL_RGBA, GL_UNSIGNED_BYTE, row.data());
  glReadPixels(width / 2, 0, 1, height, GL_RGBA, GL_UNSIGNED_BYTE, column.data());
  for (const auto* line : {&row, &column}) {
    for (std::size_t i = 4; i < line->size(); i += 4) {
      if (std::memcmp(line->data(), line->data() + i, 3) != 0) return true;
    }
  }
  return false;
}

}  // namespace

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
  static const auto real = reinterpret_cast<SwapFn>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
  static const bool needsPicture = [] {
    const char* value = std::getenv("FIRST_FRAME_NEEDS_PICTURE");
    return value != nullptr && std::strcmp(value, "1") == 0;
  }();
  const bool counts = !needsPicture || ShowsPicture();
  real(display, drawable);
  if (!counts) return;
  glFinish();
  XSync(display, False);
  _exit(0);
}
