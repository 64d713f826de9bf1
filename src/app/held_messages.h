// Messages raised while the main window is not yet on screen (the
// configuration is read before it is first shown, so that its colours are
// in the first picture). A box shown then would have no window to stand
// over: with a window manager it lands wherever the manager puts a window
// without a parent. These wait and are shown over the window once it is
// there; everything else goes to the platform layer at once.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

class CHeldMessages : public platform::Platform {
 public:
  struct Message {
    std::string text;
    platform::MsgIcon icon = platform::MsgIcon::None;
  };

  // Stands in for the layer in force until destroyed.
  CHeldMessages();
  ~CHeldMessages() override;
  CHeldMessages(const CHeldMessages&) = delete;
  CHeldMessages& operator=(const CHeldMessages&) = delete;

  // The messages held so far, in order; the list is left empty.
  std::vector<Message> Take();

  void ShowMessage(const std::string& text, platform::MsgIcon icon) override;
  void BeginWaitCursor() override { m_inner.BeginWaitCursor(); }
  void RestoreArrowCursor() override { m_inner.RestoreArrowCursor(); }
  std::string GetExecutablePath() override { return m_inner.GetExecutablePath(); }
  bool CanonicalDirectory(const std::string& path, std::string& canonical) override {
    return m_inner.CanonicalDirectory(path, canonical);
  }
  void EndProcess(int code) override { m_inner.EndProcess(code); }
  bool AskOpenFile(const platform::OpenFileRequest& request, std::string& path) override {
    return m_inner.AskOpenFile(request, path);
  }
  bool AskSaveFile(const platform::SaveFileRequest& request, std::string& path) override {
    return m_inner.AskSaveFile(request, path);
  }
  bool AskColour(unsigned char rgb[3]) override { return m_inner.AskColour(rgb); }

 private:
  platform::Platform& m_inner;
  std::vector<Message> m_vecMessages;
};
