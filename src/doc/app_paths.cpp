#include "doc/app_paths.h"

#include "model/palette_files.h"
#include "platform/platform.h"

namespace {

constexpr const char* kBaseDirError = "Error#1: Error getting short path name - aborting";
constexpr const char* kLastOpenDirError = "Error#3: Error getting short path name";

}  // namespace

// Both conversions go through the one buffer: a successful one replaces
// its content, a failed one leaves the previous result there. The platform's
// conversion has no length limit of its own here, so long paths are kept
// whole rather than cut at some buffer size.
void CAppPaths::SetBaseDir(const std::string& dir) {
  std::string converted;
  if (!platform::Current().CanonicalDirectory(dir, converted)) {
    // Without its own directory the program finds neither its palettes nor
    // its configuration; it stops here, saving nothing.
    ShowError(kBaseDirError);
    platform::Current().EndProcess(1);
    return;
  }
  m_szShortPath = converted;
  m_strBaseDir = m_szShortPath;
  m_layout = platform::FindFileLayout(m_strBaseDir, kPaletteFileNames);
}

void CAppPaths::SetLastOpenDir(const std::string& dir) {
  std::string converted;
  if (platform::Current().CanonicalDirectory(dir, converted)) {
    m_szShortPath = converted;
  } else {
    ShowError(kLastOpenDirError);
  }
  m_strLastOpenDir = m_szShortPath;
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

void ShowError(const std::string& message) {
  platform::Current().ShowMessage(message, platform::MsgIcon::Stop);
}
