// On Windows the window and the renderer are linked into the program:
// with every library static there is nothing a module would save loading.
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/modules.h"

extern "C" int ZorvikRenderModels(const RenderOptions* options);
#ifdef ZORVIK_HAS_WINDOW
extern "C" int ZorvikViewerMain(int argc, char** argv);
#endif

int RunViewerModule([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef ZORVIK_HAS_WINDOW
  return ZorvikViewerMain(argc, argv);
#else
  Complain("cannot start the viewer: this build has the commands only");
  return kExitFailure;
#endif
}

int RunRenderModule(const RenderOptions& options) { return ZorvikRenderModels(&options); }
