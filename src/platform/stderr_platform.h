// The platform layer of the headless commands: there is no one to click a
// box, so messages go to stderr, cursors do nothing and dialogs cancel.
#pragma once

#include <string>

#include "platform/platform.h"

namespace platform {

class StderrPlatform : public Platform {
 public:
  void ShowMessage(const std::string& text, MsgIcon icon) override;
  void BeginWaitCursor() override {}
  void RestoreArrowCursor() override {}
  std::string GetExecutablePath() override;
  void EndProcess(int code) override;
  bool AskOpenFile(const OpenFileRequest&, std::string&) override { return false; }
  bool AskSaveFile(const SaveFileRequest&, std::string&) override { return false; }
  bool AskColour(unsigned char[3]) override { return false; }
};

// "zorvik: " + text, with the message's "\r\n" line breaks as plain "\n",
// and a final line end.
std::string FormatStderrMessage(const std::string& text);

}  // namespace platform
