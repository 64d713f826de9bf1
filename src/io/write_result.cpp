// What a safe write tells its caller, the same on every system.
#include "io/safe_write.h"

namespace safewrite {

std::string WriteResult::Heading() const {
  return status == WriteStatus::kCannotOpen ? OpenError(path) : WriteError(path);
}

std::string WriteResult::Line() const { return Heading() + ": " + reason; }

std::string WriteResult::Box() const { return Heading() + "\r\n" + reason; }

std::string OpenError(const std::string& path) { return "Error opening " + path + " for writing"; }
std::string WriteError(const std::string& path) { return "Error writing " + path; }

}  // namespace safewrite
