#include "platform/install_layout.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/posix_paths.h"

// Set by the build from the install directories, e.g. "../share/zorvik".
#ifndef ZORVIK_DATA_DIR_FROM_BIN
#define ZORVIK_DATA_DIR_FROM_BIN "../share/zorvik"
#endif

namespace platform {
namespace {

constexpr const char* kAppDirName = "zorvik/";
constexpr mode_t kPrivateDirMode = 0700;

bool IsFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool HoldsAny(const std::string& dir, std::span<const char* const> names) {
  for (const char* name : names) {
    if (IsFile(dir + name)) return true;
  }
  return false;
}

std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

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
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return WithSlash(xdg);
  const std::string home = HomeDirectory();
  return home.empty() ? std::string() : WithSlash(home) + ".config/";
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
  for (std::string::size_type slash = whole.find('/', 1); slash != std::string::npos;
       slash = whole.find('/', slash + 1)) {
    const std::string part = whole.substr(0, slash);
    if (mkdir(part.c_str(), kPrivateDirMode) != 0 && !IsDirectory(part)) return false;
  }
  return true;
}

bool IsMissing(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) != 0 && errno == ENOENT;
}

}  // namespace platform
