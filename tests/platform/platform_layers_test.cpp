#include <gtest/gtest.h>

#include <string>

#include "io/text.h"
#include "platform/file_filters.h"
#include "platform/posix_paths.h"
#include "platform/stderr_platform.h"
#include "support/recording_platform.h"

namespace {

using platform::EventKind;
using platform::MsgIcon;
using platform::RecordedEvent;

TEST(DialogText, LineBreaksAndDefaultExtensions) {
  EXPECT_EQ(ToDisplayLineBreaks("Missing Textures:\r\na.mip\r\nb.mip\r\n"),
            "Missing Textures:\na.mip\nb.mip\n");
  // A lone '\r' is no line break of ours and stays.
  EXPECT_EQ(ToDisplayLineBreaks("a\rb\r"), "a\rb\r");
  EXPECT_EQ(ToDisplayLineBreaks("\r\n\r\n"), "\n\n");

  struct Case {
    std::string path;
    bool lacks;
  };
  const Case cases[] = {
      {"/home/me/plane", true},    {"/home/me/plane.cob", false},
      {"/home/v1.2/plane", true},  {"plane", true},
      {"/home/me/.hidden", false}, {"/home/me/plane.", false},
      {"/home/me/", false},        {"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::LacksExtension(c.path), c.lacks) << c.path;
  }

  EXPECT_EQ(platform::TrimFilter("Model (*.bin)|*.bin|All Files (*.*)|*.*||"),
            "Model (*.bin)|*.bin|All Files (*.*)|*.*");
  EXPECT_EQ(platform::TrimFilter("trueSpace (*.cob)|*.cob"), "trueSpace (*.cob)|*.cob");
}

TEST(DialogText, FilterPatternsAndExtensions) {
  // Patterns match any case; the text shown beside them stays.
  EXPECT_EQ(platform::AnyCasePatterns("LGMD 3D Models (*.bin)|*.bin||"),
            "LGMD 3D Models (*.bin)|*.[bB][iI][nN]");
  EXPECT_EQ(platform::AnyCasePatterns("Models (*.bin;*.Lg2)|*.bin;*.Lg2|All Files (*.*)|*.*"),
            "Models (*.bin;*.Lg2)|*.[bB][iI][nN];*.[lL][gG]2|All Files (*.*)|*.*");

  const std::string exportFilter =
      "glTF Binary (*.glb)|*.glb|glTF (*.gltf)|*.gltf|OBJ (*.obj)|*.obj";
  EXPECT_EQ(platform::FilterExtensions(exportFilter),
            (std::vector<std::string>{".glb", ".gltf", ".obj"}));
  EXPECT_EQ(platform::FilterExtensions("Objects (*.cob)|*.cob|All Files (*.*)|*.*||"),
            (std::vector<std::string>{".cob", ""}));

  // A name as given, the filter entry chosen, and the name that results.
  struct NameCase {
    const char* given;
    int chosen;
    const char* expected;
  };
  const auto expectNames = [&](auto rename, std::initializer_list<NameCase> cases) {
    for (const NameCase& c : cases) {
      EXPECT_EQ(rename(c.given, exportFilter, c.chosen), c.expected) << c.given;
    }
  };
  // The name typed, as the save goes ahead.
  expectNames(platform::WithFilterExtension,
              {
                  {"/out/plane", 0, "/out/plane.glb"},
                  {"/out/plane", 2, "/out/plane.obj"},
                  {"/out/plane.gltf", 0, "/out/plane.gltf"},  // a name of another entry is kept
                  {"/out/PLANE.OBJ", 1, "/out/PLANE.OBJ"},
                  {"/out/plane.v2", 1, "/out/plane.v2.gltf"},
                  {"/out/plane", 7, "/out/plane"}  // no such entry
              });
  // Picking another type in the dialog changes the name shown.
  expectNames(platform::SwitchFilterExtension,
              {{"biplane.glb", 2, "biplane.obj"},
               {"biplane.OBJ", 1, "biplane.gltf"},
               {"biplane.v2", 2, "biplane.v2"},  // not one of the list's: as typed
               {"biplane.glb", 7, "biplane.glb"},
               {"biplane", 2, "biplane"}});
}

TEST(RecordingPlatform, KeepsEventsInOrder) {
  platform::RecordingPlatform ui;
  ui.BeginWaitCursor();
  ui.ShowMessage("first\r\nline", MsgIcon::None);
  ui.ShowMessage("second", MsgIcon::Exclamation);
  ui.RestoreArrowCursor();
  ui.ShowMessage("third", MsgIcon::Stop);

  const std::vector<RecordedEvent> expected = {
      {EventKind::WaitCursor, "", MsgIcon::None, 0},
      {EventKind::Message, "first\r\nline", MsgIcon::None, 0},
      {EventKind::Message, "second", MsgIcon::Exclamation, 0},
      {EventKind::ArrowCursor, "", MsgIcon::None, 0},
      {EventKind::Message, "third", MsgIcon::Stop, 0},
  };
  EXPECT_EQ(ui.events(), expected);
  EXPECT_EQ(ui.messages().size(), 3u);
  EXPECT_EQ(ui.messages()[2].text, "third");
  EXPECT_EQ(ui.waitCursorCount(), 1);
  EXPECT_EQ(ui.arrowCursorCount(), 1);

  ui.ClearLog();
  EXPECT_TRUE(ui.events().empty());
}

TEST(RecordingPlatform, ExitStopsTheCallerWithItsCode) {
  platform::RecordingPlatform ui;
  bool ranOn = false;
  try {
    ui.EndProcess(7);
    ranOn = true;
  } catch (const platform::EndProcessCalled& exit) {
    EXPECT_EQ(exit.code(), 7);
  }
  EXPECT_FALSE(ranOn);
  ASSERT_EQ(ui.events().size(), 1u);
  EXPECT_EQ(ui.events()[0].kind, EventKind::Exit);
  EXPECT_EQ(ui.events()[0].code, 7);
}

TEST(RecordingPlatform, RealExitEndsTheProcess) {
  EXPECT_EXIT(
      {
        platform::RecordingPlatform ui;
        ui.SetRealExit(true);
        ui.EndProcess(4);
      },
      testing::ExitedWithCode(4), "");
}

TEST(RecordingPlatform, AnswersDialogsFromItsScript) {
  platform::RecordingPlatform ui;
  ui.QueueOpenAnswer("/models/a.bin");
  ui.QueueOpenAnswer(std::nullopt);
  ui.QueueSaveAnswer("/out/a.cob");
  ui.QueueColourAnswer(std::array<unsigned char, 3>{128, 64, 0});

  platform::OpenFileRequest open;
  open.strInitialDir = "/models/";
  std::string path = "unchanged";
  EXPECT_TRUE(ui.AskOpenFile(open, path));
  EXPECT_EQ(path, "/models/a.bin");
  path = "unchanged";
  EXPECT_FALSE(ui.AskOpenFile(open, path));  // scripted cancel
  EXPECT_FALSE(ui.AskOpenFile(open, path));  // script used up: cancel
  EXPECT_EQ(path, "unchanged");
  ASSERT_EQ(ui.openRequests().size(), 3u);
  EXPECT_EQ(ui.openRequests()[0].strInitialDir, "/models/");

  EXPECT_TRUE(ui.AskSaveFile({}, path));
  EXPECT_EQ(path, "/out/a.cob");
  EXPECT_FALSE(ui.AskSaveFile({}, path));
  EXPECT_EQ(ui.saveRequests().size(), 2u);

  unsigned char rgb[3] = {1, 2, 3};
  EXPECT_TRUE(ui.AskColour(rgb));
  EXPECT_EQ(rgb[0], 128);
  EXPECT_EQ(rgb[1], 64);
  EXPECT_EQ(rgb[2], 0);
  EXPECT_FALSE(ui.AskColour(rgb));
  EXPECT_EQ(rgb[0], 128);
  EXPECT_EQ(ui.colourRequests(), 2);
}

TEST(RecordingPlatform, ExecutablePathIsTheRealOneUntilSet) {
  platform::RecordingPlatform ui;
  EXPECT_EQ(ui.GetExecutablePath(), platform::ExecutablePath());
  ui.SetExecutablePath("/opt/zorvik/zorvik");
  EXPECT_EQ(ui.GetExecutablePath(), "/opt/zorvik/zorvik");
}

TEST(StderrPlatform, MessagesGoToStderrAsLines) {
  platform::StderrPlatform ui;
  testing::internal::CaptureStderr();
  ui.ShowMessage("Missing Textures:\r\nwing.mip\r\ntail.mip", MsgIcon::None);
  ui.ShowMessage("Error Loading Palette", MsgIcon::None);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "zorvik: Missing Textures:\nwing.mip\ntail.mip\n"
            "zorvik: Error Loading Palette\n");

  unsigned char rgb[3];
  std::string path;
  EXPECT_FALSE(ui.AskColour(rgb));
  EXPECT_FALSE(ui.AskOpenFile({}, path));
  EXPECT_FALSE(ui.AskSaveFile({}, path));
}

TEST(StderrPlatform, ExitEndsTheProcessWithTheCode) {
  EXPECT_EXIT(
      {
        platform::StderrPlatform ui;
        ui.EndProcess(1);
      },
      testing::ExitedWithCode(1), "");
}

}  // namespace
