// The `zorvik` program: a first argument that names a command runs it here,
// without a display; anything else opens the window, which the viewer
// module brings in only then.
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/modules.h"

int main(int argc, char** argv) {
  if (IsCliInvocation(argc, argv)) return CloseStandardOutput(RunCli(argc, argv));
  return RunViewerModule(argc, argv);
}
