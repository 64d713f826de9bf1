#include "io/safe_write_set.h"

#include <cerrno>

namespace safewrite {
namespace detail {

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

}  // namespace detail

namespace {

using detail::Pending;

void RemoveLeftovers(std::vector<Pending>& files) {
  for (Pending& file : files) {
    if (!file.temp.empty()) detail::Remove(file.temp);
    if (!file.backup.empty()) detail::Remove(file.backup);
    file.temp.clear();
    file.backup.clear();
  }
}

// Puts back what every replaced target held before the set, newest first.
void Undo(std::vector<Pending>& files) {
  for (auto it = files.rbegin(); it != files.rend(); ++it) {
    if (!it->replaced) continue;
    if (it->backup.empty()) {
      detail::Remove(it->target);
    } else {
      detail::Restore(it->backup, it->target);
      it->backup.clear();  // moved back, or the old content stays under its own name
    }
    detail::SyncDirectory(it->target);
  }
  RemoveLeftovers(files);
}

WriteResult Commit(std::vector<Pending>& files, const WriteFn& write) {
  for (Pending& file : files) {
    WriteResult result = detail::Prepare(file, write);
    if (!result.Ok()) {
      RemoveLeftovers(files);
      return result;
    }
  }
  // Moved files first: they can be undone; what a pipe or a device took
  // cannot, so those go last, once nothing else can fail.
  for (Pending& file : files) {
    if (file.inPlace) continue;
    WriteResult result = detail::PutInPlace(file);
    if (!result.Ok()) {
      Undo(files);
      return result;
    }
  }
  for (Pending& file : files) {
    if (!file.inPlace) continue;
    WriteResult result = detail::WriteInPlace(file, write);
    if (!result.Ok()) {
      Undo(files);
      return result;
    }
  }
  RemoveLeftovers(files);
  for (const Pending& file : files) {
    if (!file.inPlace) detail::SyncDirectory(file.target);
  }
  return {};
}

}  // namespace

WriteResult WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  return WriteFile(path, bytes, detail::PlainWrite);
}

WriteResult WriteFile(const std::string& path, std::span<const std::uint8_t> bytes,
                      const WriteFn& write) {
  std::vector<Pending> files(1);
  files[0].path = path;
  files[0].bytes = bytes;
  return Commit(files, write);
}

WriteResult WriteFiles(const std::vector<OutputFile>& files) {
  return WriteFiles(files, detail::PlainWrite);
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
