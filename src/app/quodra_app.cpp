// Placeholder until the application shell is written.
#include "app/quodra_app.h"

#include <cstdio>

int RunViewer(int, char**) {
  std::fputs("zorvik: the viewer is not available yet\n", stderr);
  return 1;
}
