#include "doc/app_paths.h"

#include "model/palette_files.h"
#include "platform/platform.h"
#include "platform/posix_paths.h"

namespace {

constexpr const char* kBaseDirError = "Error#1: Error getting short path name - aborting";
constexpr const char* kLastOpenDirError = "Error#3: Error getting short path name";

}  // namespace

// Both conversions go through the one buffer: a successful one replaces
// its content, a failed one leaves the previous result there. The platform's
// conversion has no length limit of its own here, so long paths are kept
// whole rather than cut at some buffer size.
std::string PathMessage(PathStatus status) {
  switch (status) {
    case PathStatus::kOk:
      break;
    case PathStatus::kBaseDirUnknown:
      return kBaseDirError;
    case PathStatus::kLastOpenDirUnknown:
      return kLastOpenDirError;
  }
  return {};
}

// Without its own directory the program finds neither its palettes nor its
// configuration; the caller stops it, saving nothing.
PathStatus CAppPaths::SetBaseDir(const std::string& dir) {
  std::string converted;
  if (!platform::CanonicalDirectory(dir, converted)) return PathStatus::kBaseDirUnknown;
  m_szShortPath = converted;
  m_strBaseDir = m_szShortPath;
  m_layout = platform::FindFileLayout(m_strBaseDir, kPaletteFileNames);
  return PathStatus::kOk;
}

PathStatus CAppPaths::SetLastOpenDir(const std::string& dir) {
  std::string converted;
  const bool done = platform::CanonicalDirectory(dir, converted);
  if (done) m_szShortPath = converted;
  m_strLastOpenDir = m_szShortPath;
  return done ? PathStatus::kOk : PathStatus::kLastOpenDirUnknown;
}

void CAppPaths::Reset() {
  m_szShortPath.clear();
  m_strBaseDir.clear();
  m_strLastOpenDir.clear();
  m_layout = {};
}

CAppPaths& AppPaths() {
  static CAppPaths paths;
  return paths;
}
