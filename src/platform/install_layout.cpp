#include "platform/install_layout.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdlib>

#include "io/system_path.h"
#include "platform/posix_paths.h"

// Set by the build from the install directories, e.g. "../share/zorvik".
#ifndef ZORVIK_DATA_DIR_FROM_BIN
#define ZORVIK_DATA_DIR_FROM_BIN "../share/zorvik"
#endif

namespace platform {
namespace {

constexpr const char* kAppDirName = "zorvik/";

#ifdef _WIN32

DWORD AttributesOf(const std::string& path) {
  return GetFileAttributesW(syspath::Widen(path).c_str());
}

bool IsFile(const std::string& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsDirectory(const std::string& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeDirectory(const std::string& path) {
  return CreateDirectoryW(syspath::Widen(path).c_str(), nullptr) != 0;
}

// Windows keeps a user's settings in the roaming application data folder.
std::string ConfigBase() {
  const DWORD length = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
  if (length == 0) return {};
  std::wstring value(length, L'\0');
  const DWORD written = GetEnvironmentVariableW(L"APPDATA", value.data(), length);
  if (written == 0 || written >= length) return {};
  value.resize(written);
  return syspath::Narrow(value);
}

#else

constexpr mode_t kPrivateDirMode = 0700;

bool MakeDirectory(const std::string& path) { return mkdir(path.c_str(), kPrivateDirMode) == 0; }

bool IsFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

#endif

bool HoldsAny(const std::string& dir, std::span<const char* const> names) {
  for (const char* name : names) {
    if (IsFile(dir + name)) return true;
  }
  return false;
}

std::string WithSlash(std::string dir) {
  if (!dir.empty() && !syspath::IsSeparator(dir.back())) dir += '/';
  return dir;
}

#ifndef _WIN32

std::string HomeDirectory() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  // A session without HOME (some service managers) still has an account.
  if (const passwd* account = getpwuid(getuid());
      account != nullptr && account->pw_dir != nullptr) {
    return account->pw_dir;
  }
  return {};
}

// The user's configuration home, before the XDG rules: ~/.config.
std::string ConfigBase() {
  const std::string home = HomeDirectory();
  return home.empty() ? std::string() : WithSlash(home) + ".config/";
}

#endif

}  // namespace

FileLayout FindFileLayout(const std::string& exeDir, std::span<const char* const> dataFiles) {
  FileLayout portable;
  portable.strDataDir = portable.strConfigDir = exeDir;
  if (exeDir.empty() || HoldsAny(exeDir, dataFiles)) return portable;

  std::string dataDir;
  if (!CanonicalDirectory(exeDir + ZORVIK_DATA_DIR_FROM_BIN + "/", dataDir) ||
      !HoldsAny(dataDir, dataFiles)) {
    return portable;
  }
  FileLayout installed;
  installed.bInstalled = true;
  installed.strDataDir = dataDir;
  // Without a home there is nowhere of the user's own to write: the
  // configuration stays beside the executable, which says so on saving.
  const std::string configDir = UserConfigDir();
  installed.strConfigDir = configDir.empty() ? exeDir : configDir;
  return installed;
}

std::string UserConfigHome() {
  // The XDG rules ignore a relative value: it would depend on the working
  // directory.
#ifndef _WIN32
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return WithSlash(xdg);
#endif
  const std::string base = ConfigBase();
  return base.empty() ? std::string() : WithSlash(base);
}

std::string UserConfigDir() {
  const std::string base = UserConfigHome();
  return base.empty() ? std::string() : base + kAppDirName;
}

bool MakeDirectories(const std::string& dir) {
  if (dir.empty()) return false;
  // Each prefix ending at a '/' in turn, so parents come first; one that
  // is there already (perhaps in a directory we may not write) is fine.
  const std::string whole = WithSlash(dir);
  for (std::string::size_type slash = whole.find_first_of(syspath::kSeparators, 1);
       slash != std::string::npos; slash = whole.find_first_of(syspath::kSeparators, slash + 1)) {
    const std::string part = whole.substr(0, slash);
    if (!MakeDirectory(part) && !IsDirectory(part)) return false;
  }
  return true;
}

bool IsMissing(const std::string& path) {
#ifdef _WIN32
  if (AttributesOf(path) != INVALID_FILE_ATTRIBUTES) return false;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
#else
  struct stat info {};
  return lstat(path.c_str(), &info) != 0 && errno == ENOENT;
#endif
}

}  // namespace platform
