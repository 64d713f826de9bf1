// An installed copy: the program in PREFIX/bin, its palettes in
// PREFIX/share/zorvik, the configuration in the user's configuration
// directory, where it is made on the first close.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "doc/zorvik_doc.h"
#include "doc_fixture.h"
#include "support/doc_access.h"

namespace fs = std::filesystem;

namespace {

using platform::MsgIcon;
using platform::RecordedMessage;
constexpr const char* kDefaults = "Region 0\nBkgndClr 0 0 0\nLastOpenDir -\n";

class InstalledConfigTest : public DocTest {
 protected:
  InstalledConfigTest() {
    fs::create_directories(root() + "/prefix/bin");
    fs::create_directories(Share());
    std::ofstream(Share() + "sanfran.pal") << "JASC-PAL\n0100\n256\n";
    m_ui.SetExecutablePath(root() + "/prefix/bin/zorvik");
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) m_oldXdg = old;
    setenv("XDG_CONFIG_HOME", (root() + "/config").c_str(), 1);
  }
  ~InstalledConfigTest() override {
    m_oldXdg.empty() ? unsetenv("XDG_CONFIG_HOME") : setenv("XDG_CONFIG_HOME", m_oldXdg.c_str(), 1);
  }

  std::string Share() const { return root() + "/prefix/share/zorvik/"; }
  std::string ConfigFile() const { return root() + "/config/zorvik/zorvik.cfg"; }

  std::string m_oldXdg;
};

TEST_F(InstalledConfigTest, FirstStartIsQuietAndTheFirstCloseMakesTheFile) {
  CZorvikDoc doc;
  Show(doc.OnNewDocument());
  EXPECT_TRUE(AppPaths().IsInstalled());
  EXPECT_EQ(AppPaths().GetPaletteDir(), Share());
  EXPECT_TRUE(m_ui.messages().empty());
  EXPECT_FALSE(fs::exists(root() + "/config"));

  doc.SetPaletteIndex(1);
  Show(doc.SaveConfig());
  EXPECT_TRUE(doc.CanCloseFrame());
  EXPECT_TRUE(m_ui.messages().empty());
  EXPECT_EQ(ReadWholeFile(ConfigFile()), "Region 1\nBkgndClr 0 0 0\nLastOpenDir -\n");
  // Nothing is written beside the program.
  EXPECT_FALSE(fs::exists(root() + "/prefix/bin/zorvik.cfg"));

  // The next start reads it back, quietly.
  CZorvikDoc again;
  Show(again.OnNewDocument());
  EXPECT_EQ(again.PaletteIndex(), 1);
  EXPECT_TRUE(m_ui.messages().empty());
}

TEST_F(InstalledConfigTest, FileThatIsThereButOutOfReachStillSaysSo) {
  // A directory where the file should be: it exists and cannot be read or
  // replaced.
  fs::create_directories(ConfigFile());
  CZorvikDoc doc;
  Show(doc.OnNewDocument());
  EXPECT_TRUE(IsConfigMessage(m_ui.messages(), kConfigLoadError, ConfigFile()));
  m_ui.ClearLog();
  Show(doc.SaveConfig());
  EXPECT_TRUE(IsConfigMessage(m_ui.messages(), kConfigSaveError, ConfigFile()));

  // A plain file where the directory should be: nothing can be made.
  fs::remove_all(root() + "/config");
  std::ofstream(root() + "/config") << "x";
  m_ui.ClearLog();
  Show(doc.SaveConfig());
  EXPECT_TRUE(IsConfigMessage(m_ui.messages(), kConfigSaveError, ConfigFile()));
}

}  // namespace
