#include "platform/platform.h"

#include <cassert>

namespace platform {
namespace {

Platform* g_current = nullptr;

}  // namespace

Platform& Current() {
  assert(g_current != nullptr && "no platform installed");
  return *g_current;
}

void SetCurrent(Platform* platform) { g_current = platform; }

}  // namespace platform
