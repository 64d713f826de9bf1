// What the `zorvik` program and its modules agree on: the modules' file
// names and the one entry point each offers. The window (the toolkit and
// OpenGL) and the headless renderer (EGL and OpenGL) live in modules that
// the program loads only when a command needs them, so `info`, `export`,
// `--version` and `--help` load neither.
#pragma once

struct RenderOptions;

// Marks the one function a module offers to the program.
#ifdef _WIN32
// One program on Windows: the entry points are linked in, not looked up.
#define ZORVIK_MODULE_ENTRY
#else
#define ZORVIK_MODULE_ENTRY __attribute__((visibility("default")))
#endif

inline constexpr const char* kViewerModule = "zorvik-viewer.so";
inline constexpr const char* kRenderModule = "zorvik-render.so";

extern "C" {
using ViewerMainFn = int (*)(int argc, char** argv);
using RenderModelsFn = int (*)(const RenderOptions* options);
}
inline constexpr const char* kViewerEntry = "ZorvikViewerMain";
inline constexpr const char* kRenderEntry = "ZorvikRenderModels";
