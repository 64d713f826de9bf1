// The Windows build has no import worker yet: the import library is not
// among the libraries it builds, so there is no helper program to start.
// Imports then fail with the worker's name and "was not found beside the
// program", and nothing else of the program needs a child process.
#include "platform/child_process.h"

namespace platform {

ChildResult RunChild(const std::string& program, const std::vector<std::string>& /*args*/,
                     const ChildLimits& /*limits*/) {
  ChildResult result;
  result.status = ChildStatus::kCannotStart;
  result.reason = program + ": helper programs are not started by the Windows build";
  return result;
}

std::string HelperProgramPath(const char* /*name*/) { return {}; }

}  // namespace platform
