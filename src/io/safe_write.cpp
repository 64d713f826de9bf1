#include "io/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>

#include "io/file_bytes.h"

namespace safewrite {
namespace {

namespace fs = std::filesystem;

ssize_t PlainWrite(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }

// False with errno set when not every byte went out.
bool WriteAll(int fd, std::span<const std::uint8_t> bytes, const WriteFn& write) {
  const std::uint8_t* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = write(fd, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return false;
    if (written == 0) {
      errno = EIO;  // a device that takes nothing and says nothing
      return false;
    }
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
  if (access(target.c_str(), W_OK) != 0) return false;
  if ((st.st_mode & kAnyWrite) != 0) return true;
  errno = EACCES;
  return false;
}

// A file being made, from its creation beside the target to its rename.
struct Pending {
  std::string path;    // as the caller named it, for messages
  std::string target;  // the file that is replaced (a link resolved)
  std::string temp;    // the new file; empty once renamed or removed
  std::string backup;  // the replaced file's old content, until the set is in place
  bool existed = false;
  bool replaced = false;
  bool inPlace = false;
  std::span<const std::uint8_t> bytes;
};

WriteResult Failure(WriteStatus status, const Pending& file, int error) {
  return {status, file.path, std::strerror(error)};
}

// A name of our own beside the target, short so that a target name near
// the file system's limit still leaves room for it. make(name) creates it
// exclusively; it fails with EEXIST when another file has the name.
template <typename Make>
bool MakeSibling(const fs::path& target, const char* suffix, std::string& made, Make make) {
  static std::atomic<unsigned> counter{0};
  const fs::path dir = DirectoryOf(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    made =
        (dir / (".zorvik-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + suffix))
            .string();
    if (make(made)) return true;
    if (errno != EEXIST) break;
  }
  made.clear();
  return false;
}

void SyncDirectory(const fs::path& target) {
  const int fd = open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
  if (!MakeSibling(target, ".tmp", file.temp, [&](const std::string& name) {
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

// Keeps what the target holds now under a name of our own, so that the
// set can be undone. A second link to the same file costs nothing; a file
// system without links gets a copy.
bool KeepOldContent(Pending& file) {
  const fs::path target(file.target);
  if (MakeSibling(target, ".old", file.backup, [&](const std::string& name) {
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

void RemoveLeftovers(std::vector<Pending>& files) {
  for (Pending& file : files) {
    if (!file.temp.empty()) unlink(file.temp.c_str());
    if (!file.backup.empty()) unlink(file.backup.c_str());
    file.temp.clear();
    file.backup.clear();
  }
}

// Puts back what every replaced target held before the set, newest first.
void Undo(std::vector<Pending>& files) {
  for (auto it = files.rbegin(); it != files.rend(); ++it) {
    if (!it->replaced) continue;
    if (it->backup.empty()) {
      unlink(it->target.c_str());
    } else if (rename(it->backup.c_str(), it->target.c_str()) == 0) {
      it->backup.clear();
    } else {
      it->backup.clear();  // cannot go back: the old content stays under its own name
    }
    SyncDirectory(fs::path(it->target));
  }
  RemoveLeftovers(files);
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

WriteResult Commit(std::vector<Pending>& files, const WriteFn& write) {
  for (Pending& file : files) {
    WriteResult result = Prepare(file, write);
    if (!result.Ok()) {
      RemoveLeftovers(files);
      return result;
    }
  }
  // Renamed files first: they can be undone; what a pipe or a device took
  // cannot, so those go last, once nothing else can fail.
  for (Pending& file : files) {
    if (file.inPlace) continue;
    WriteResult result = PutInPlace(file);
    if (!result.Ok()) {
      Undo(files);
      return result;
    }
  }
  for (Pending& file : files) {
    if (!file.inPlace) continue;
    WriteResult result = WriteInPlace(file, write);
    if (!result.Ok()) {
      Undo(files);
      return result;
    }
  }
  RemoveLeftovers(files);
  for (const Pending& file : files) {
    if (!file.inPlace) SyncDirectory(fs::path(file.target));
  }
  return {};
}

}  // namespace

WriteResult WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  return WriteFile(path, bytes, PlainWrite);
}

WriteResult WriteFile(const std::string& path, std::span<const std::uint8_t> bytes,
                      const WriteFn& write) {
  std::vector<Pending> files(1);
  files[0].path = path;
  files[0].bytes = bytes;
  return Commit(files, write);
}

WriteResult WriteFiles(const std::vector<OutputFile>& files) {
  return WriteFiles(files, PlainWrite);
}

WriteResult WriteFiles(const std::vector<OutputFile>& outputs, const WriteFn& write) {
  std::vector<Pending> files(outputs.size());
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    files[i].path = outputs[i].path;
    files[i].bytes = outputs[i].bytes;
  }
  return Commit(files, write);
}

}  // namespace safewrite
