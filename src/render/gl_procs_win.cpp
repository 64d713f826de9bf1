// The OpenGL calls beyond 1.1 the drawing uses, looked up from the driver
// as Windows requires (see render/win32/GL/gl.h). A driver that lacks one
// gets the plain equivalent: separate draws instead of one multi-draw, no
// fence (the caller then does not wait between batches).
#include <windows.h>

#include <GL/gl.h>

namespace {

template <typename Fn>
Fn Lookup(const char* name) {
  // Some drivers answer a failed lookup with small integers rather than null.
  const auto address = reinterpret_cast<INT_PTR>(wglGetProcAddress(name));
  if (address >= -1 && address <= 3) return nullptr;
  return reinterpret_cast<Fn>(address);
}

}  // namespace

void APIENTRY glMultiDrawArrays(GLenum mode, const GLint* first, const GLsizei* count,
                                GLsizei drawcount) {
  static const auto call = Lookup<PFNGLMULTIDRAWARRAYSPROC>("glMultiDrawArrays");
  if (call != nullptr) {
    call(mode, first, count, drawcount);
    return;
  }
  for (GLsizei i = 0; i < drawcount; ++i) glDrawArrays(mode, first[i], count[i]);
}

GLsync APIENTRY glFenceSync(GLenum condition, GLbitfield flags) {
  static const auto call = Lookup<PFNGLFENCESYNCPROC>("glFenceSync");
  return call != nullptr ? call(condition, flags) : nullptr;
}

GLenum APIENTRY glClientWaitSync(GLsync sync, GLbitfield flags, GLuint64 timeout) {
  static const auto call = Lookup<PFNGLCLIENTWAITSYNCPROC>("glClientWaitSync");
  return call != nullptr && sync != nullptr ? call(sync, flags, timeout) : GL_ALREADY_SIGNALED;
}

void APIENTRY glDeleteSync(GLsync sync) {
  static const auto call = Lookup<PFNGLDELETESYNCPROC>("glDeleteSync");
  if (call != nullptr && sync != nullptr) call(sync);
}
