// The Windows side of posix_paths.h: the same facts through the system's
// wide-character calls.
#include <windows.h>

#include <vector>

#include "io/system_path.h"
#include "platform/posix_paths.h"

namespace platform {

std::string ExecutablePath() {
  // The length is not known beforehand; a name cut at the buffer's end
  // fills it completely, so grow until it does not.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) return syspath::Narrow(std::wstring(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

std::string ExecutableDirectory() {
  const std::string path = ExecutablePath();
  const std::string::size_type slash = path.find_last_of(syspath::kSeparators);
  if (slash == std::string::npos) return std::string();
  return path.substr(0, slash + 1);
}

bool CanonicalDirectory(const std::string& path, std::string& canonical) {
  if (path.empty()) return false;
  const std::wstring wide = syspath::Widen(path);
  const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (length == 0) return false;
  std::wstring full(length, L'\0');
  const DWORD written = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
  if (written == 0 || written >= length) return false;
  full.resize(written);
  const DWORD attributes = GetFileAttributesW(full.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return false;
  }
  std::string result = syspath::Narrow(full);
  // The caller appends file names directly, so a separator it gave at the
  // end must survive.
  if (syspath::IsSeparator(path.back()) && !syspath::IsSeparator(result.back())) result += '\\';
  canonical = std::move(result);
  return true;
}

}  // namespace platform
