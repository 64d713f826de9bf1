#include "platform/stderr_platform.h"

#include <cstdio>
#include <cstdlib>

#include "io/text.h"
#include "platform/posix_paths.h"

namespace platform {

std::string FormatStderrMessage(const std::string& text) {
  std::string line = "zorvik: ";
  line += ToDisplayLineBreaks(text);
  line += '\n';
  return line;
}

void StderrPlatform::ShowMessage(const std::string& text, MsgIcon /*icon*/) {
  const std::string line = FormatStderrMessage(text);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

std::string StderrPlatform::GetExecutablePath() { return ExecutablePath(); }


void StderrPlatform::EndProcess(int code) { std::exit(code); }

}  // namespace platform
