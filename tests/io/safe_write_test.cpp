// Writing files safely: every failure leaves the old file and no temporary
// file; links, pipes, modes and owners are treated as the user expects.
#include "io/safe_write.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "support/small_fs.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::string kOld = "the user's earlier file, which must survive";
const std::vector<std::uint8_t> kNew(300, 0x5A);

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> Entries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

mode_t Mode(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::string NewContent() { return std::string(kNew.begin(), kNew.end()); }

TEST(SafeWrite, ReplacesKeepingModeAndCreatesWithTheUsualRights) {
  ScopedTempDir dir;
  const std::string old = dir.File("old.out");
  WriteText(old, std::string(5000, 'x'));  // longer than the new content
  ASSERT_EQ(chmod(old.c_str(), 0600), 0);
  const mode_t mask = umask(022);
  EXPECT_TRUE(safewrite::WriteFile(old, kNew).Ok());
  EXPECT_TRUE(safewrite::WriteFile(dir.File("new.out"), kNew).Ok());
  umask(mask);
  EXPECT_EQ(ReadWholeFile(old), NewContent());
  EXPECT_EQ(Mode(old), 0600u) << "a private file stays private";
  EXPECT_EQ(Mode(dir.File("new.out")), 0644u);
  EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"new.out", "old.out"}));

  // Someone else's file stays theirs (only root can show it).
  if (geteuid() == 0) {
    ASSERT_EQ(chown(old.c_str(), 4242, 4343), 0);
    EXPECT_TRUE(safewrite::WriteFile(old, kNew).Ok());
    struct stat st {};
    ASSERT_EQ(stat(old.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4242u);
    EXPECT_EQ(st.st_gid, 4343u);
  }
  // A name as long as the file system allows still has room for the
  // temporary file beside it.
  const std::string longName = dir.File(std::string(250, 'n') + ".cob");
  EXPECT_TRUE(safewrite::WriteFile(longName, kNew).Ok());
}

TEST(SafeWrite, ALinkIsWrittenThroughAndStaysALink) {
  ScopedTempDir dir;
  WriteText(dir.File("real"), kOld);
  fs::create_symlink(dir.File("real"), dir.File("link"));
  ASSERT_TRUE(safewrite::WriteFile(dir.File("link"), kNew).Ok());
  EXPECT_TRUE(fs::is_symlink(dir.File("link")));
  EXPECT_EQ(ReadWholeFile(dir.File("real")), NewContent());
}

// Each target fails for its own reason; the message names it as given and
// nothing around it changes. Root ignores permission bits, so read-only
// protection is shown with a file nobody may write.
TEST(SafeWrite, TargetsThatCannotBeWrittenAreRefusedAndLeftAlone) {
  ScopedTempDir dir;
  WriteText(dir.File("plain"), kOld);
  WriteText(dir.File("locked"), kOld);
  ASSERT_EQ(chmod(dir.File("locked").c_str(), 0444), 0);
  fs::create_directory(dir.File("folder"));
  const struct {
    std::string target;
    const char* reason;
  } cases[] = {
      {dir.File("plain") + "/out", "Not a directory"},              // a file as a folder
      {dir.File("missing") + "/out", "No such file or directory"},  // no such folder
      {dir.File("folder"), "Is a directory"},
      {dir.File("folder") + "/", "Is a directory"},  // no file name at all
      {dir.File("locked"), "Permission denied"},     // a read-only file
      {"", "No such file or directory"},
  };
  for (const auto& c : cases) {
    const safewrite::WriteResult result = safewrite::WriteFile(c.target, kNew);
    EXPECT_EQ(result.Line(), "Error opening " + c.target + " for writing: " + c.reason);
  }
  EXPECT_EQ(ReadWholeFile(dir.File("locked")), kOld);
  EXPECT_EQ(Mode(dir.File("locked")), 0444u);
  EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"folder", "locked", "plain"}));
}

// A writer that takes `budget` bytes and then fails as a full disk does, in
// pieces of `chunk` bytes, with an interruption now and then.
safewrite::WriteFn FailingAfter(std::size_t budget, std::size_t chunk) {
  auto left = std::make_shared<std::size_t>(budget);
  auto calls = std::make_shared<int>(0);
  return [left, chunk, calls](int fd, const void* data, std::size_t size) -> ssize_t {
    if (++*calls % 3 == 0) {
      errno = EINTR;
      return -1;
    }
    if (*left == 0) {
      errno = ENOSPC;
      return -1;
    }
    const std::size_t n = std::min({size, *left, chunk});
    const ssize_t written = ::write(fd, data, n);
    if (written > 0) *left -= static_cast<std::size_t>(written);
    return written;
  };
}

TEST(SafeWrite, WriteFailuresLeaveTheOldFilesAndNoTemporaryFile) {
  for (std::size_t chunk : {std::size_t{7}, SIZE_MAX}) {
    for (std::size_t budget : {std::size_t{0}, std::size_t{1}, kNew.size() - 1}) {
      SCOPED_TRACE("budget " + std::to_string(budget) + " chunk " + std::to_string(chunk));
      ScopedTempDir dir;
      const std::string path = dir.File("plane.cob");
      WriteText(path, kOld);
      EXPECT_EQ(safewrite::WriteFile(path, kNew, FailingAfter(budget, chunk)).Line(),
                "Error writing " + path + ": No space left on device");
      EXPECT_EQ(ReadWholeFile(path), kOld);
      EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"plane.cob"});
    }
  }
  // A whole budget, cut in pieces and interrupted, still writes everything.
  ScopedTempDir dir;
  ASSERT_TRUE(safewrite::WriteFile(dir.File("ok"), kNew, FailingAfter(SIZE_MAX, 7)).Ok());
  EXPECT_EQ(ReadWholeFile(dir.File("ok")), NewContent());
}

// A set fails at each of its three places in each way a file can fail:
// before anything is replaced (no folder), while the files are put in
// place (a name too long for the file system, caught only by the rename),
// and at the end (a link to a device that is full). Every target then holds
// what it held before, a new one is gone, and no temporary file is left.
TEST(SafeWrite, ASetIsWrittenWholeOrNotAtAll) {
  const struct {
    const char* name;
    std::string reason;
  } failures[] = {
      {"missing/a.png", "Error opening % for writing: No such file or directory"},
      {"", "Error writing %: File name too long"},  // a name of 300 characters
      {"full.png", "Error writing %: No space left on device"},
  };
  for (const auto& failure : failures) {
    for (std::size_t place = 0; place < 3; ++place) {
      SCOPED_TRACE(std::string(failure.name) + " at " + std::to_string(place));
      ScopedTempDir dir;
      fs::create_symlink("/dev/full", dir.File("full.png"));
      WriteText(dir.File("a.gltf"), kOld);
      WriteText(dir.File("a.wing.png"), kOld + "2");
      const std::vector<std::string> before = Entries(dir.path());
      std::vector<safewrite::OutputFile> set = {{dir.File("a.gltf"), kNew},
                                                {dir.File("a_geometry.bin"), kNew},
                                                {dir.File("a.wing.png"), kNew}};
      const std::string name = *failure.name ? failure.name : std::string(300, 'n');
      set[place].path = dir.File(name);
      std::string expected = failure.reason;
      expected.replace(expected.find('%'), 1, set[place].path);

      EXPECT_EQ(safewrite::WriteFiles(set).Line(), expected);
      EXPECT_EQ(ReadWholeFile(dir.File("a.gltf")), kOld);
      EXPECT_EQ(ReadWholeFile(dir.File("a.wing.png")), kOld + "2");
      EXPECT_EQ(Entries(dir.path()), before);
    }
  }
  ScopedTempDir dir;
  WriteText(dir.File("a.gltf"), kOld);
  const std::vector<safewrite::OutputFile> good = {{dir.File("a.gltf"), kNew},
                                                   {dir.File("a.bin"), kNew}};
  ASSERT_TRUE(safewrite::WriteFiles(good).Ok());
  EXPECT_EQ(ReadWholeFile(dir.File("a.bin")), NewContent());
  EXPECT_EQ(ReadWholeFile(dir.File("a.gltf")), NewContent());
  EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"a.bin", "a.gltf"}));
}

TEST(SafeWrite, PipesTakeTheBytesInPlaceAndAPipeNobodyReadsIsRefused) {
  ScopedTempDir dir;
  const std::string path = dir.File("pipe");
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  // No reader: refused at once instead of waiting for ever.
  EXPECT_EQ(safewrite::WriteFile(path, kNew).Line(),
            "Error opening " + path + " for writing: no program reads the pipe");

  const int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_TRUE(safewrite::WriteFile(path, kNew).Ok());
  std::vector<std::uint8_t> got(1024);
  const ssize_t n = read(reader, got.data(), got.size());
  close(reader);
  got.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  EXPECT_EQ(got, kNew);
  EXPECT_TRUE(fs::is_fifo(path));
}

TEST(SafeWriteOnDisk, FullAndReadOnlyDisksLeaveTheOldFile) {
  ScopedTempDir dir;
  SmallFileSystem disk(dir.path() / "disk", "64k");
  if (!disk.Mounted()) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
  const std::string path = (dir.path() / "disk" / "plane.cob").string();
  WriteText(path, kOld);
  const std::vector<std::uint8_t> huge(240 * 1024, 1);  // far more than the disk holds
  EXPECT_EQ(safewrite::WriteFile(path, huge).Line(),
            "Error writing " + path + ": No space left on device");
  EXPECT_EQ(ReadWholeFile(path), kOld);
  EXPECT_EQ(Entries(dir.path() / "disk"), std::vector<std::string>{"plane.cob"});

  ASSERT_TRUE(disk.MakeReadOnly());
  EXPECT_EQ(safewrite::WriteFile(path, kNew).Line(),
            "Error opening " + path + " for writing: Read-only file system");
  EXPECT_EQ(ReadWholeFile(path), kOld);
}

}  // namespace
