// Where palettes and "zorvik.cfg" are looked for: beside the executable, or
// in the installation and the user's configuration directory.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/install_layout.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr std::array<const char*, 2> kPalettes = {"sanfran.pal", "seattle.pal"};

// Sets an environment variable for the scope; unset when value is null.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old, m_had = true;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { m_had ? setenv(m_name, m_old.c_str(), 1) : unsetenv(m_name); }

 private:
  const char* m_name;
  std::string m_old;
  bool m_had = false;
};

TEST(InstallLayout, PalettesBesideTheProgramKeepEverythingThere) {
  ScopedTempDir temp;
  const std::string root = fs::canonical(temp.path()).string();
  const std::string bin = root + "/bin/";
  const std::string share = root + "/share/zorvik/";
  const ScopedEnv config("XDG_CONFIG_HOME", (root + "/config").c_str());
  struct Case {
    const char* besideProgram;  // palette beside the program, or null
    const char* inShare;        // palette in the installation, or null
    bool installed;
  };
  const Case cases[] = {
      {nullptr, nullptr, false},              // a copy without its files says so as ever
      {"seattle.pal", nullptr, false},        // portable: the build tree, an unpacked folder
      {nullptr, "sanfran.pal", true},         // installed
      {"sanfran.pal", "sanfran.pal", false},  // a portable copy wins over an installed one
  };
  for (const Case& c : cases) {
    fs::remove_all(root + "/bin");
    fs::remove_all(root + "/share");
    fs::create_directories(bin);
    fs::create_directories(share);
    if (c.besideProgram) std::ofstream(bin + c.besideProgram) << "x";
    if (c.inShare) std::ofstream(share + c.inShare) << "x";

    const platform::FileLayout layout = platform::FindFileLayout(bin, kPalettes);
    SCOPED_TRACE(std::string(c.besideProgram ? c.besideProgram : "-") + " / " +
                 (c.inShare ? c.inShare : "-"));
    EXPECT_EQ(layout.bInstalled, c.installed);
    EXPECT_EQ(layout.strDataDir, c.installed ? share : bin);
    EXPECT_EQ(layout.strConfigDir, c.installed ? root + "/config/zorvik/" : bin);
  }
}

TEST(InstallLayout, ConfigurationHomeFollowsTheBaseDirectoryRules) {
  struct Case {
    const char* xdg;
    const char* home;
    std::string expected;
  };
  const Case cases[] = {
      {"/cfg", "/home/u", "/cfg/zorvik/"},
      {"/cfg/", "/home/u", "/cfg/zorvik/"},
      {"relative/cfg", "/home/u", "/home/u/.config/zorvik/"},  // ignored, as the rules say
      {"", "/home/u", "/home/u/.config/zorvik/"},
      {nullptr, "/home/u/", "/home/u/.config/zorvik/"},
  };
  for (const Case& c : cases) {
    const ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
    const ScopedEnv home("HOME", c.home);
    EXPECT_EQ(platform::UserConfigDir(), c.expected) << (c.xdg ? c.xdg : "(unset)");
  }
}

TEST(InstallLayout, DirectoriesAreMadePrivateAndMissingFilesToldApart) {
  ScopedTempDir temp;
  const std::string dir = temp.File("a/b/zorvik/");
  ASSERT_TRUE(platform::MakeDirectories(dir));
  ASSERT_TRUE(platform::MakeDirectories(dir));  // there already
  struct stat info {};
  ASSERT_EQ(stat(dir.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  std::ofstream(temp.File("plain")) << "x";
  EXPECT_FALSE(platform::MakeDirectories(temp.File("plain/below/")));
  EXPECT_FALSE(platform::MakeDirectories(""));

  EXPECT_TRUE(platform::IsMissing(dir + "zorvik.cfg"));
  EXPECT_FALSE(platform::IsMissing(temp.File("plain")));
  // Below a plain file nothing can exist, but the file is not known to be
  // missing: it is out of reach, and says so when read.
  EXPECT_FALSE(platform::IsMissing(temp.File("plain/zorvik.cfg")));
}

}  // namespace
