#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "doc/app_paths.h"
#include "doc_fixture.h"

namespace fs = std::filesystem;

namespace {

using platform::MsgIcon;
using platform::RecordedMessage;

const RecordedMessage kError3{"Error#3: Error getting short path name", MsgIcon::Stop};

using AppPathsTest = DocTest;

TEST_F(AppPathsTest, BaseDirIsCanonicalWithItsTrailingSlash) {
  fs::create_directories(File("Program Files/Zorvik"));
  fs::create_directory_symlink(File("Program Files/Zorvik"), File("link"));

  Show(AppPaths().SetBaseDir(m_temp.File("link") + "/"));
  EXPECT_EQ(AppPaths().GetBaseDir(), File("Program Files/Zorvik/"));
  Show(AppPaths().SetBaseDir(m_temp.File("Program Files") + "/./Zorvik"));
  EXPECT_EQ(AppPaths().GetBaseDir(), File("Program Files/Zorvik"));
  EXPECT_TRUE(m_ui.events().empty());
}

TEST_F(AppPathsTest, FailedLastOpenDirTakesTheLastGoodConversion) {
  fs::create_directories(File("models/old"));
  struct Step {
    std::string dir;
    std::string expected;
    bool message;
  };
  // Starts with nothing converted, so the first failure leaves it empty.
  const std::vector<Step> steps = {
      {"", "", true},
      {File("gone"), "", true},
      {root() + "/", root() + "/", false},
      {File("missing"), root() + "/", true},
      {File("models/old"), File("models/old"), false},
      {"", File("models/old"), true},
      {File("models/old/../old/"), File("models/old/"), false},
  };
  for (const Step& step : steps) {
    m_ui.ClearLog();
    Show(AppPaths().SetLastOpenDir(step.dir));
    EXPECT_EQ(AppPaths().GetLastOpenDir(), step.expected) << "dir '" << step.dir << "'";
    const std::vector<RecordedMessage> expected =
        step.message ? std::vector<RecordedMessage>{kError3} : std::vector<RecordedMessage>{};
    EXPECT_EQ(m_ui.messages(), expected) << "dir '" << step.dir << "'";
  }
}

TEST_F(AppPathsTest, StaleDirectoryAtStartUpFallsBackToTheBaseDir) {
  Show(AppPaths().SetBaseDir(root() + "/"));
  Show(AppPaths().SetLastOpenDir(File("no longer here")));
  EXPECT_EQ(m_ui.messages(), std::vector<RecordedMessage>{kError3});
  EXPECT_EQ(AppPaths().GetLastOpenDir(), root() + "/");
  EXPECT_EQ(AppPaths().GetBaseDir(), root() + "/");
}

TEST_F(AppPathsTest, UnconvertibleBaseDirShowsError1AndExits) {
  Show(AppPaths().SetBaseDir(root() + "/"));
  for (const std::string& dir : {std::string(), File("missing/")}) {
    m_ui.ClearLog();
    int code = -1;
    try {
      Show(AppPaths().SetBaseDir(dir));
    } catch (const platform::EndProcessCalled& exit) {
      code = exit.code();
    }
    EXPECT_EQ(code, 1) << dir;
    const std::vector<platform::RecordedEvent> expected = {
        {platform::EventKind::Message, "Error#1: Error getting short path name - aborting",
         MsgIcon::Stop, 0},
        {platform::EventKind::Exit, "", MsgIcon::None, 1},
    };
    EXPECT_EQ(m_ui.events(), expected);
    EXPECT_EQ(AppPaths().GetBaseDir(), root() + "/");
  }
}

TEST_F(AppPathsTest, ShowErrorUsesTheStopIcon) {
  ShowError("Error opening /x.cob for writing");
  const std::vector<RecordedMessage> expected = {
      {"Error opening /x.cob for writing", MsgIcon::Stop}};
  EXPECT_EQ(m_ui.messages(), expected);
}

}  // namespace
