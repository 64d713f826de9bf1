// One executable for the viewer and the headless commands: a first argument
// that names a command runs it without touching the display.
#include "app/quodra_app.h"
#include "cli/commands.h"

int main(int argc, char** argv) {
  if (IsCliInvocation(argc, argv)) return RunCli(argc, argv);
  return RunViewer(argc, argv);
}
