// Code that reports before any platform layer is installed, or after a test
// removed its own, must still reach the user, in every build type: messages
// go to stderr and dialogs cancel rather than crash.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "support/recording_platform.h"

namespace {

TEST(PlatformLayer, WithNoneInstalledMessagesGoToStderrAndDialogsCancel) {
  {
    platform::ScopedRecordingPlatform recording;
    platform::Current().ShowMessage("recorded", platform::MsgIcon::None);
    EXPECT_EQ(recording.messages().size(), 1u);
  }  // removed again: no layer installed now

  testing::internal::CaptureStderr();
  platform::Current().ShowMessage("Error Loading Model\r\nplane.bin", platform::MsgIcon::Stop);
  platform::Current().BeginWaitCursor();
  platform::Current().RestoreArrowCursor();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "zorvik: Error Loading Model\nplane.bin\n");

  std::string path = "unchanged";
  EXPECT_FALSE(platform::Current().AskOpenFile({}, path));
  EXPECT_FALSE(platform::Current().AskSaveFile({}, path));
  unsigned char rgb[3] = {1, 2, 3};
  EXPECT_FALSE(platform::Current().AskColour(rgb));
  EXPECT_EQ(path, "unchanged");
  EXPECT_FALSE(platform::Current().GetExecutablePath().empty());
}

}  // namespace
