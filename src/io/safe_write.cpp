// The POSIX side of safe_write.h: the steps that touch the files; the
// set's order and its undo are in safe_write_set.cpp.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "io/file_bytes.h"
#include "io/safe_write_set.h"

namespace safewrite::detail {

ssize_t PlainWrite(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

bool NameTaken() { return errno == EEXIST; }

namespace {

// A link to an existing file is followed, so that the file it names gets
// the new content and the link stays a link.
std::string ResolveTarget(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

// Root may write anything, so a file nobody may write (mode 0444) is taken
// as the owner's wish that it stay as it is, for root too.
bool MayWrite(const std::string& target, const struct stat& st) {
  constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
  if (access(target.c_str(), W_OK) != 0) return false;
  if ((st.st_mode & kAnyWrite) != 0) return true;
  errno = EACCES;
  return false;
}

WriteResult Failure(WriteStatus status, const Pending& file, int error) {
  return {status, file.path, std::strerror(error)};
}

}  // namespace

void SyncDirectory(const SystemString& target) {
  const int fd = open(DirectoryOf(fs::path(target)).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);  // the rename is done; a directory that cannot sync changes nothing
  close(fd);
}

// Devices and pipes take the bytes in place. A pipe nobody reads would
// block the open for ever, so it is opened without waiting, and refused.
WriteResult WriteInPlace(const Pending& file, const WriteFn& write) {
  const int fd = open(file.target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENXIO) return {WriteStatus::kCannotOpen, file.path, "no program reads the pipe"};
    return Failure(WriteStatus::kCannotOpen, file, errno);
  }
  // Once open, writing may wait for the reader as any program's output does.
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  const bool written = WriteAll(fd, file.bytes, write);
  const int error = errno;
  if (close(fd) != 0 || !written)
    return Failure(WriteStatus::kCannotWrite, file, written ? errno : error);
  return {};
}

// Checks the target and writes the bytes to a new file beside it.
WriteResult Prepare(Pending& file, const WriteFn& write) {
  file.target = ResolveTarget(file.path);
  // New files get the usual rights (0666 less the umask); a replaced file
  // keeps its own, and its owner and group when we may give them.
  mode_t mode = 0666;
  struct stat st {};
  file.existed = stat(file.target.c_str(), &st) == 0;
  if (file.existed) {
    if (S_ISDIR(st.st_mode)) return Failure(WriteStatus::kCannotOpen, file, EISDIR);
    if (!S_ISREG(st.st_mode)) {
      file.inPlace = true;
      return {};
    }
    if (!MayWrite(file.target, st)) return Failure(WriteStatus::kCannotOpen, file, errno);
    mode = st.st_mode & 07777;
  }
  const fs::path target(file.target);
  if (target.empty()) return Failure(WriteStatus::kCannotOpen, file, ENOENT);
  if (!target.has_filename()) return Failure(WriteStatus::kCannotOpen, file, EISDIR);
  int fd = -1;
  if (!MakeSibling(file.target, ".tmp", file.temp, [&](const std::string& name) {
        fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        return fd >= 0;
      })) {
    return Failure(WriteStatus::kCannotOpen, file, errno);
  }
  bool ok = true;
  if (file.existed) {
    // Someone else's file stays theirs where we may keep it so; the mode is
    // set after, since changing the owner clears the set-id bits.
    [[maybe_unused]] const bool kept =
        fchown(fd, st.st_uid, st.st_gid) == 0 || fchown(fd, static_cast<uid_t>(-1), st.st_gid) == 0;
    ok = fchmod(fd, mode) == 0;
  }
  // A file system that cannot sync at all (EINVAL) is no write failure.
  ok = ok && WriteAll(fd, file.bytes, write) && (fsync(fd) == 0 || errno == EINVAL);
  const int error = errno;
  ok = (close(fd) == 0) && ok;
  if (!ok) {
    unlink(file.temp.c_str());
    file.temp.clear();
    return Failure(WriteStatus::kCannotWrite, file, error);
  }
  return {};
}

namespace {

// Keeps what the target holds now under a name of our own, so that the
// set can be undone. A second link to the same file costs nothing; a file
// system without links gets a copy.
bool KeepOldContent(Pending& file) {
  if (MakeSibling(file.target, ".old", file.backup, [&](const std::string& name) {
        return link(file.target.c_str(), name.c_str()) == 0;
      })) {
    return true;
  }
  std::vector<std::uint8_t> old;
  std::string error;
  if (!filebytes::ReadFileBytes(file.target, old, error, SIZE_MAX)) return false;
  struct stat st {};
  if (stat(file.target.c_str(), &st) != 0) return false;
  Pending copy;
  copy.path = copy.target = file.target;
  copy.bytes = old;
  if (!Prepare(copy, PlainWrite).Ok()) return false;
  file.backup = copy.temp;
  return true;
}

}  // namespace

void Remove(const SystemString& file) { unlink(file.c_str()); }

void Restore(const SystemString& backup, const SystemString& target) {
  rename(backup.c_str(), target.c_str());
}

WriteResult PutInPlace(Pending& file) {
  // A link to nothing is replaced too, so it is kept as well.
  struct stat st {};
  const bool occupied = file.existed || lstat(file.target.c_str(), &st) == 0;
  if (occupied && !KeepOldContent(file)) return Failure(WriteStatus::kCannotWrite, file, errno);
  if (rename(file.temp.c_str(), file.target.c_str()) != 0) {
    return Failure(WriteStatus::kCannotWrite, file, errno);
  }
  file.temp.clear();
  file.replaced = true;
  return {};
}

}  // namespace safewrite::detail
