#include "model/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>

namespace safewrite {
namespace {

namespace fs = std::filesystem;

ssize_t PlainWrite(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }

bool WriteAll(int fd, std::span<const std::uint8_t> bytes, const WriteFn& write) {
  const std::uint8_t* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = write(fd, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

// A link to an existing file is followed, so that the file it names gets
// the new content and the link stays a link.
std::string ResolveTarget(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

fs::path DirectoryOf(const fs::path& target) {
  return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

// Root may write anything, so a file nobody may write (mode 0444) is taken
// as the owner's wish that it stay as it is, for root too.
bool MayWrite(const std::string& target, const struct stat& st) {
  constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
  return access(target.c_str(), W_OK) == 0 && (st.st_mode & kAnyWrite) != 0;
}

// A file being made, from its creation beside the target to its rename.
struct Pending {
  std::string path;    // as the caller named it, for messages
  std::string target;  // the file that is replaced (a link resolved)
  std::string temp;    // the new file; empty once renamed or removed
  bool inPlace = false;
  std::span<const std::uint8_t> bytes;
};

// A short name of our own: a target name near the file system's limit
// still leaves room for it.
int CreateSibling(const fs::path& target, mode_t mode, std::string& created) {
  static std::atomic<unsigned> counter{0};
  const fs::path dir = DirectoryOf(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name =
        ".zorvik-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
    created = (dir / name).string();
    const int fd = open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void SyncDirectory(const fs::path& target) {
  const int fd = open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);  // the rename is done; a directory that cannot sync changes nothing
  close(fd);
}

// Devices and pipes take the bytes in place. A pipe nobody reads would
// block the open for ever, so it is opened without waiting, and refused.
int WriteInPlace(const Pending& file, std::string& strError, const WriteFn& write) {
  const int fd = open(file.target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    strError = OpenError(file.path);
    return -1;
  }
  // Once open, writing may wait for the reader as any program's output does.
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  const bool written = WriteAll(fd, file.bytes, write);
  if (close(fd) != 0 || !written) {
    strError = WriteError(file.path);
    return -1;
  }
  return 0;
}

// Checks the target and writes the bytes to a new file beside it.
int Prepare(Pending& file, std::string& strError, const WriteFn& write) {
  file.target = ResolveTarget(file.path);
  // New files get the usual rights (0666 less the umask); a replaced file
  // keeps its own, and its owner and group when we may give them.
  mode_t mode = 0666;
  struct stat st {};
  const bool exists = stat(file.target.c_str(), &st) == 0;
  if (exists) {
    if (S_ISDIR(st.st_mode)) {
      strError = OpenError(file.path);
      return -1;
    }
    if (!S_ISREG(st.st_mode)) {
      file.inPlace = true;
      return 0;
    }
    if (!MayWrite(file.target, st)) {
      strError = OpenError(file.path);
      return -1;
    }
    mode = st.st_mode & 07777;
  }
  const fs::path target(file.target);
  if (!target.has_filename()) {
    strError = OpenError(file.path);
    return -1;
  }
  const int fd = CreateSibling(target, mode, file.temp);
  if (fd < 0) {
    file.temp.clear();
    strError = OpenError(file.path);
    return -1;
  }
  bool ok = true;
  if (exists) {
    // Someone else's file stays theirs where we may keep it so; the mode is
    // set after, since changing the owner clears the set-id bits.
    [[maybe_unused]] const bool kept =
        fchown(fd, st.st_uid, st.st_gid) == 0 || fchown(fd, static_cast<uid_t>(-1), st.st_gid) == 0;
    ok = fchmod(fd, mode) == 0;
  }
  // A file system that cannot sync at all (EINVAL) is no write failure.
  ok = ok && WriteAll(fd, file.bytes, write) && (fsync(fd) == 0 || errno == EINVAL);
  ok = (close(fd) == 0) && ok;
  if (!ok) {
    unlink(file.temp.c_str());
    file.temp.clear();
    strError = WriteError(file.path);
    return -1;
  }
  return 0;
}

void RemoveTemporaries(std::vector<Pending>& files) {
  for (Pending& file : files) {
    if (!file.temp.empty()) unlink(file.temp.c_str());
    file.temp.clear();
  }
}

int Commit(std::vector<Pending>& files, std::string& strError, const WriteFn& write) {
  for (Pending& file : files) {
    if (Prepare(file, strError, write) != 0) {
      RemoveTemporaries(files);
      return -1;
    }
  }
  for (Pending& file : files) {
    if (file.inPlace) {
      if (WriteInPlace(file, strError, write) != 0) {
        RemoveTemporaries(files);
        return -1;
      }
      continue;
    }
    if (rename(file.temp.c_str(), file.target.c_str()) != 0) {
      strError = WriteError(file.path);
      RemoveTemporaries(files);
      return -1;
    }
    file.temp.clear();
    SyncDirectory(fs::path(file.target));
  }
  return 0;
}

}  // namespace

std::string OpenError(const std::string& path) { return "Error opening " + path + " for writing"; }
std::string WriteError(const std::string& path) { return "Error writing " + path; }

int WriteFile(const std::string& path, std::span<const std::uint8_t> bytes, std::string& strError) {
  return WriteFile(path, bytes, strError, PlainWrite);
}

int WriteFile(const std::string& path, std::span<const std::uint8_t> bytes, std::string& strError,
              const WriteFn& write) {
  std::vector<Pending> files(1);
  files[0].path = path;
  files[0].bytes = bytes;
  return Commit(files, strError, write);
}

int WriteFiles(const std::vector<OutputFile>& files, std::string& strError) {
  return WriteFiles(files, strError, PlainWrite);
}

int WriteFiles(const std::vector<OutputFile>& outputs, std::string& strError,
               const WriteFn& write) {
  std::vector<Pending> files(outputs.size());
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    files[i].path = outputs[i].path;
    files[i].bytes = outputs[i].bytes;
  }
  return Commit(files, strError, write);
}

}  // namespace safewrite
