#include "model/file_bytes.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace filebytes {

namespace {

// Closes the descriptor on every way out of ReadFileBytes.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : m_fd(fd) {}
  ~FileDescriptor() {
    if (m_fd >= 0) close(m_fd);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return m_fd; }

 private:
  int m_fd;
};

}  // namespace

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::string error;
  return ReadFileBytes(path, bytes, error);
}

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
  bytes.clear();
  error.clear();
  // O_NONBLOCK keeps a fifo given as a texture or palette from holding the
  // open until some writer appears; it changes nothing for regular files.
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) {
    error = std::strerror(errno);
    return false;
  }

  // Only regular files: a directory or a device has no size to trust.
  struct stat info {};
  if (fstat(file.get(), &info) != 0) {
    error = std::strerror(errno);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? "is a directory" : "not a regular file";
    return false;
  }

  bytes.resize(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = read(file.get(), bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      // A file that shrank while we read it is taken as it now is; a read
      // error is a failure.
      if (got == 0) break;
      error = std::strerror(errno);
      bytes.clear();
      return false;
    }
    done += static_cast<std::size_t>(got);
  }
  bytes.resize(done);
  return true;
}

}  // namespace filebytes
