// The platform layer of the viewer: wxWidgets message boxes, busy cursor and
// common dialogs, and the POSIX path facts.
#pragma once

#include <string>

#include "platform/platform.h"

namespace platform {

class WxPlatform : public Platform {
 public:
  void ShowMessage(const std::string& text, MsgIcon icon) override;
  void BeginWaitCursor() override;
  void RestoreArrowCursor() override;
  std::string GetExecutablePath() override;
  bool CanonicalDirectory(const std::string& path, std::string& canonical) override;
  void EndProcess(int code) override;
  bool AskOpenFile(const OpenFileRequest& request, std::string& path) override;
  bool AskSaveFile(const SaveFileRequest& request, std::string& path) override;
  bool AskColour(unsigned char rgb[3]) override;

 private:
  // Busy cursors this layer started and has not ended yet.
  int m_nBusyDepth = 0;
};

}  // namespace platform
