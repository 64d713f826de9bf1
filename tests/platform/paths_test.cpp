#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/posix_paths.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

TEST(PosixPaths, CanonicalDirectoryResolvesExistingDirectories) {
  ScopedTempDir temp;
  const std::string root = fs::canonical(temp.path()).string();
  fs::create_directories(temp.path() / "with blank" / "inner");
  std::ofstream(temp.File("plain.txt")) << "x";
  fs::create_directory_symlink(temp.path() / "with blank", temp.path() / "link");

  struct Case {
    std::string input;
    std::string expected;
  };
  const Case cases[] = {
      {temp.path().string(), root},
      {temp.path().string() + "/", root + "/"},
      {temp.File("with blank") + "/inner/../", root + "/with blank/"},
      {temp.File("with blank") + "/./inner", root + "/with blank/inner"},
      {temp.File("link") + "/", root + "/with blank/"},
      {"/", "/"},
      {"//", "/"},
  };
  for (const Case& c : cases) {
    std::string canonical = "untouched";
    EXPECT_TRUE(platform::CanonicalDirectory(c.input, canonical)) << c.input;
    EXPECT_EQ(canonical, c.expected) << c.input;
  }
}

TEST(PosixPaths, CanonicalDirectoryRefusesWhatIsNoDirectory) {
  ScopedTempDir temp;
  std::ofstream(temp.File("plain.txt")) << "x";
  fs::create_directory_symlink(temp.path() / "gone", temp.path() / "dangling");

  const std::string inputs[] = {
      "",
      temp.File("missing"),
      temp.File("missing") + "/",
      temp.File("plain.txt"),
      temp.File("plain.txt") + "/",
      temp.File("dangling"),
  };
  for (const std::string& input : inputs) {
    std::string canonical = "untouched";
    EXPECT_FALSE(platform::CanonicalDirectory(input, canonical)) << input;
    EXPECT_EQ(canonical, "untouched") << input;
  }
}

TEST(PosixPaths, RelativeDirectoryBecomesAbsolute) {
  ScopedTempDir temp;
  const fs::path before = fs::current_path();
  fs::current_path(temp.path());
  std::string canonical;
  const bool ok = platform::CanonicalDirectory("./", canonical);
  fs::current_path(before);
  EXPECT_TRUE(ok);
  EXPECT_EQ(canonical, fs::canonical(temp.path()).string() + "/");
}

TEST(PosixPaths, ExecutableDirectoryIsThisProgramsFolder) {
  const std::string exe = platform::ExecutablePath();
  const std::string dir = platform::ExecutableDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_EQ(exe.rfind(dir, 0), 0u) << exe;
  EXPECT_EQ(exe.find('/', dir.size()), std::string::npos);
  EXPECT_TRUE(fs::equivalent(exe, "/proc/self/exe"));
}

}  // namespace
