// The Windows side of the file layers, run under Wine: UTF-8 names at the
// system's wide calls, the safe writer's replace and undo, the output
// plan's identity of a file by volume and index, and the input file's
// refusals.
#include <io.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "io/file_bytes.h"
#include "io/lgmd_magic.h"
#include "io/output_plan.h"
#include "io/path_parts.h"
#include "io/safe_write.h"
#include "io/system_path.h"
#include "platform/posix_paths.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::string Utf8(const fs::path& path) { return syspath::ToUtf8(path); }

std::string Content(const std::string& utf8Path) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!filebytes::ReadFileBytes(utf8Path, bytes, error)) return "<" + error + ">";
  return {bytes.begin(), bytes.end()};
}

// Everything in the folder but the names given: what a write left behind.
std::vector<std::string> Leftovers(const fs::path& dir, const std::vector<std::string>& expected) {
  std::vector<std::string> rest;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = Utf8(entry.path().filename());
    if (std::find(expected.begin(), expected.end(), name) == expected.end()) rest.push_back(name);
  }
  return rest;
}

TEST(WindowsPathsTest, NamesBeyondTheCodePageWriteReadAndMatch) {
  ScopedTempDir temp;
  for (const std::string name :
       {"plain", "Zo\xC3\xAB", "\xE6\x97\xA5\xE6\x9C\xAC", "emoji \xF0\x9F\x98\x80"}) {
    SCOPED_TRACE(name);
    const std::string dir = Utf8(temp.path()) + "\\" + name;
    ASSERT_TRUE(fs::create_directory(syspath::FromUtf8(dir)));
    const std::string file = dir + "\\" + name + ".bin";
    ASSERT_TRUE(safewrite::WriteFile(file, Bytes("LGMD and more")).Ok());
    EXPECT_EQ(Content(file), "LGMD and more");
    EXPECT_TRUE(HasLgmdMagic(file));
    // The same file, named with the other separator.
    std::string forward = file;
    std::replace(forward.begin(), forward.end(), '\\', '/');
    EXPECT_EQ(Content(forward), "LGMD and more");
    EXPECT_EQ(syspath::Narrow(syspath::Widen(file)), file);
    EXPECT_EQ(DirectoryOf(file), dir);
    EXPECT_EQ(FileNamePart(file), name + ".bin");
  }
}

TEST(WindowsPathsTest, PartsOfDrivePaths) {
  struct Case {
    const char* path;
    const char* directory;
    const char* name;
    const char* stem;
  };
  for (const Case& c : {Case{"C:\\plane.bin", "C:\\", "plane.bin", "C:\\plane"},
                        Case{"C:\\a.b\\plane", "C:\\a.b", "plane", "C:\\a.b\\plane"},
                        Case{"C:/a\\b/plane.gltf", "C:/a\\b", "plane.gltf", "C:/a\\b/plane"},
                        Case{"plane.bin", ".", "plane.bin", "plane"}}) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(DirectoryOf(c.path), c.directory);
    EXPECT_EQ(FileNamePart(c.path), c.name);
    EXPECT_EQ(PathStem(c.path), c.stem);
  }
}

TEST(WindowsPathsTest, ExecutableDirectoryHoldsTheProgram) {
  const std::string dir = platform::ExecutableDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_TRUE(syspath::IsSeparator(dir.back()));
  EXPECT_TRUE(fs::exists(syspath::FromUtf8(dir + "windows_tests.exe")));
  std::string canonical;
  EXPECT_TRUE(platform::CanonicalDirectory(dir, canonical));
  EXPECT_TRUE(syspath::IsSeparator(canonical.back()));
  EXPECT_FALSE(platform::CanonicalDirectory(dir + "windows_tests.exe", canonical));
}

TEST(WindowsInputFileTest, RefusesWhatIsNoFile) {
  ScopedTempDir temp;
  struct Case {
    std::string path;
    const char* reason;
    bool wrongType;
  };
  for (const Case& c :
       {Case{Utf8(temp.path()), "is a directory", true}, Case{"NUL", "not a regular file", true},
        Case{Utf8(temp.path() / "missing.bin"), "No such file or directory", false},
        Case{Utf8(temp.path() / "no" / "m.bin"), "No such file or directory", false}}) {
    SCOPED_TRACE(c.path);
    filebytes::CInputFile file;
    std::string error;
    EXPECT_FALSE(file.Open(c.path, error));
    EXPECT_EQ(error, c.reason);
    EXPECT_EQ(file.WrongType(), c.wrongType);
  }
}

TEST(WindowsSafeWriteTest, ReplacesAndLeavesNothingBehind) {
  ScopedTempDir temp;
  const std::string target = temp.File("model.glb");
  ASSERT_TRUE(safewrite::WriteFile(target, Bytes("old")).Ok());
  ASSERT_TRUE(safewrite::WriteFile(target, Bytes("new content")).Ok());
  EXPECT_EQ(Content(target), "new content");
  EXPECT_TRUE(Leftovers(temp.path(), {"model.glb"}).empty());
}

TEST(WindowsSafeWriteTest, RefusalsLeaveTheTargetAlone) {
  ScopedTempDir temp;
  const std::string readOnly = temp.File("kept.bin");
  ASSERT_TRUE(safewrite::WriteFile(readOnly, Bytes("kept")).Ok());
  ASSERT_TRUE(SetFileAttributesW(syspath::Widen(readOnly).c_str(), FILE_ATTRIBUTE_READONLY));
  const std::string folder = temp.File("folder");
  fs::create_directory(syspath::FromUtf8(folder));

  struct Case {
    std::string path;
    safewrite::WriteStatus status;
    const char* reason;
  };
  for (const Case& c : {Case{readOnly, safewrite::WriteStatus::kCannotOpen, "Permission denied"},
                        Case{folder, safewrite::WriteStatus::kCannotOpen, "Is a directory"},
                        Case{temp.File("no\\such\\folder.png"), safewrite::WriteStatus::kCannotOpen,
                             "No such file or directory"}}) {
    SCOPED_TRACE(c.path);
    const safewrite::WriteResult result = safewrite::WriteFile(c.path, Bytes("x"));
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.reason, c.reason);
    EXPECT_EQ(result.path, c.path);
  }
  EXPECT_EQ(Content(readOnly), "kept");
  SetFileAttributesW(syspath::Widen(readOnly).c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(Leftovers(temp.path(), {"kept.bin", "folder"}).empty());
}

// A set fails on its last file: the first gets its old content back, the
// new one does not stay, nothing of ours is left in the folder.
TEST(WindowsSafeWriteTest, AFailedSetIsUndone) {
  ScopedTempDir temp;
  const std::string first = temp.File("scene.gltf");
  ASSERT_TRUE(safewrite::WriteFile(first, Bytes("old scene")).Ok());
  const std::vector<safewrite::OutputFile> set = {{first, Bytes("new scene")},
                                                  {temp.File("scene.bin"), Bytes("FAIL")}};
  const auto failing = [](int fd, const void* data, std::size_t size) -> ssize_t {
    if (size == 4 && std::memcmp(data, "FAIL", 4) == 0) {
      errno = ENOSPC;
      return -1;
    }
    return _write(fd, data, static_cast<unsigned>(size));
  };
  const safewrite::WriteResult result = safewrite::WriteFiles(set, failing);
  EXPECT_EQ(result.status, safewrite::WriteStatus::kCannotWrite);
  EXPECT_EQ(result.path, temp.File("scene.bin"));
  EXPECT_EQ(result.reason, "No space left on device");
  EXPECT_EQ(Content(first), "old scene");
  EXPECT_TRUE(Leftovers(temp.path(), {"scene.gltf"}).empty());
}

// Another spelling of the model, or a second link to it, is still the
// model: the plan refuses to write over it.
TEST(WindowsOutputPlanTest, KnowsTheInputByVolumeAndIndex) {
  ScopedTempDir temp;
  const fs::path dir = temp.path() / L"Zo\u00EB";
  fs::create_directory(dir);
  const std::string model = Utf8(dir / "plane.bin");
  ASSERT_TRUE(safewrite::WriteFile(model, Bytes("LGMD")).Ok());
  const std::string link = Utf8(dir / "link.bin");
  ASSERT_TRUE(
      CreateHardLinkW(syspath::Widen(link).c_str(), syspath::Widen(model).c_str(), nullptr));
  const fs::path before = fs::current_path();
  fs::current_path(dir);

  std::string forward = model;
  std::replace(forward.begin(), forward.end(), '\\', '/');
  for (const std::string& other : {model, std::string("PLANE.BIN"), std::string(".\\plane.bin"),
                                   forward, link, Utf8(dir / ".." / L"Zo\u00EB" / "Plane.Bin")}) {
    SCOPED_TRACE(other);
    output::COutputPlan plan("the model being exported");
    const output::PlanCheck check = plan.Claim(model, {other}, true);
    EXPECT_EQ(check.conflict, output::Conflict::kOwnInput);
  }
  output::COutputPlan plan("the model being exported");
  EXPECT_TRUE(plan.Claim(model, {Utf8(dir / "plane.glb")}).Ok());
  // Claimed once, the same place under another spelling is taken.
  EXPECT_EQ(plan.Claim(link, {"PLANE.GLB"}).conflict, output::Conflict::kPlannedTwice);
  fs::current_path(before);
}

}  // namespace
