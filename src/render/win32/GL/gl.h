// The OpenGL header as the drawing code sees it on Windows. Two things
// differ from Mesa's:
//  - MinGW's header pulls in all of <windows.h> unless the calling
//    convention macros are set (GLU's header needs one more), and <windows.h> declares a GDI
//    function named Polygon, which would hide the model's polygon type. The macros are set here
//    with the very words <windows.h> uses, so a file that includes both still compiles cleanly.
//  - opengl32.dll exports OpenGL 1.1 only; the later calls the drawing
//    uses are looked up from the driver (render/gl_procs_win.cpp) and
//    declared here under their usual names.
#ifndef ZORVIK_WIN32_GL_H
#define ZORVIK_WIN32_GL_H

// A system header in all but place: #include_next below is an extension.
#pragma GCC system_header

#ifndef WINAPI
#define WINAPI __stdcall
#endif
#ifndef APIENTRY
#define APIENTRY WINAPI
#endif
#ifndef CALLBACK
#define CALLBACK __stdcall
#endif
// The space must stay, as <winnt.h> has it.
// clang-format off
#ifndef DECLSPEC_IMPORT
#define DECLSPEC_IMPORT __declspec (dllimport)
#endif
// clang-format on
#ifndef WINGDIAPI
#define WINGDIAPI DECLSPEC_IMPORT
#endif

// Prototypes would promise entry points the DLL does not have.
#undef GL_GLEXT_PROTOTYPES
#include_next <GL/gl.h>
#include <GL/glext.h>

#ifdef __cplusplus
// Null when the driver lacks the call; each stand-in below then does what
// the drawing code expects from a driver without it.
void APIENTRY glMultiDrawArrays(GLenum mode, const GLint* first, const GLsizei* count,
                                GLsizei drawcount);
GLsync APIENTRY glFenceSync(GLenum condition, GLbitfield flags);
GLenum APIENTRY glClientWaitSync(GLsync sync, GLbitfield flags, GLuint64 timeout);
void APIENTRY glDeleteSync(GLsync sync);
#endif

#endif
