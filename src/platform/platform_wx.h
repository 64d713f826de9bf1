// The platform layer of the viewer: wxWidgets message boxes, busy cursor and
// common dialogs, and the POSIX path facts.
#pragma once

#include <string>

#include "platform/platform.h"

class wxTopLevelWindow;

namespace platform {

class WxPlatform : public Platform {
 public:
  void ShowMessage(const std::string& text, MsgIcon icon) override;
  void BeginWaitCursor() override;
  void RestoreArrowCursor() override;
  std::string GetExecutablePath() override;
  void EndProcess(int code) override;
  bool AskOpenFile(const OpenFileRequest& request, std::string& path) override;
  bool AskSaveFile(const SaveFileRequest& request, std::string& path) override;
  bool AskColour(unsigned char rgb[3]) override;

 private:
  // Busy cursors this layer started and has not ended yet.
  int m_nBusyDepth = 0;
};

// Whether the Scroll Lock is on: the keyboard's indicator, as for Caps Lock
// and Num Lock, not whether its key is held down.
bool IsScrollLockOn();

// Keeps the window from being laid out smaller than its contents can be
// (see platform_wx.cpp).
void KeepAboveMinimumSize(wxTopLevelWindow* window);

}  // namespace platform
