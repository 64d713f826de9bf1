#include "platform/platform.h"

#include "platform/stderr_platform.h"

namespace platform {
namespace {

Platform* g_current = nullptr;

}  // namespace

Platform& Current() {
  if (g_current == nullptr) {
    static StderrPlatform fallback;
    return fallback;
  }
  return *g_current;
}

void SetCurrent(Platform* platform) { g_current = platform; }

}  // namespace platform

void ShowError(const std::string& message) {
  platform::Current().ShowMessage(message, platform::MsgIcon::Stop);
}
