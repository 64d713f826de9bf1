// The viewer module's one entry point, called by the `zorvik` program when
// a window is wanted.
#include "app/zorvik_app.h"
#include "platform/module_entry.h"

extern "C" ZORVIK_MODULE_ENTRY int ZorvikViewerMain(int argc, char** argv) {
  return RunViewer(argc, argv);
}
