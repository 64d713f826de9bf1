#include "platform/posix_paths.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace platform {

std::string ExecutablePath() {
  // /proc/self/exe is a link whose target length we cannot know beforehand;
  // grow the buffer until the whole name fits.
  std::vector<char> buffer(PATH_MAX);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) {
      return std::string();
    }
    if (static_cast<size_t>(length) < buffer.size()) {
      return std::string(buffer.data(), static_cast<size_t>(length));
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string ExecutableDirectory() {
  const std::string path = ExecutablePath();
  const std::string::size_type slash = path.rfind('/');
  if (slash == std::string::npos) {
    return std::string();
  }
  return path.substr(0, slash + 1);
}

bool CanonicalDirectory(const std::string& path, std::string& canonical) {
  if (path.empty()) {
    return false;
  }
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) {
    return false;
  }
  std::string result(resolved);
  free(resolved);

  struct stat info {};
  if (stat(result.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return false;
  }
  // The caller appends file names directly, so a trailing '/' it gave us
  // must survive; realpath drops it. The root is already "/".
  if (path.back() == '/' && result.back() != '/') {
    result += '/';
  }
  canonical = std::move(result);
  return true;
}

}  // namespace platform
