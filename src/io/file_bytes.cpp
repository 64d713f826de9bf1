#include "io/file_bytes.h"

#ifdef _WIN32
#include <windows.h>

#include "io/system_path.h"
#else
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

namespace filebytes {

#ifndef _WIN32
namespace {

// Why a file of this type is no input: a directory is named as such, every
// other kind (fifo, device, socket) is simply not a file to read.
const char* TypeRefusal(mode_t mode) {
  return S_ISDIR(mode) ? "is a directory" : "not a regular file";
}

// Whether info, from stat or fstat, describes a regular file; otherwise the
// reason in error, and wrongType set for a file of another type. A failed
// call (ok false) leaves its errno as the reason.
bool AcceptRegular(bool ok, const struct stat& info, std::string& error, bool& wrongType) {
  if (!ok) {
    error = std::strerror(errno);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    error = TypeRefusal(info.st_mode);
    wrongType = true;
    return false;
  }
  return true;
}

}  // namespace

CInputFile::~CInputFile() {
  if (m_fd >= 0) close(m_fd);
}

bool CInputFile::Open(const std::string& path, std::string& error) {
  error.clear();
  // The type is looked at first, through the path: opening a fifo would
  // wait for a writer, and opening a device may already act on it.
  struct stat info {};
  if (!AcceptRegular(stat(path.c_str(), &info) == 0, info, error, m_bWrongType)) return false;
  // The path may have been replaced since: O_NONBLOCK still keeps a fifo
  // from holding the open, and the type is checked again on what was
  // opened. It changes nothing for a regular file.
  m_fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (m_fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  if (!AcceptRegular(fstat(m_fd, &info) == 0, info, error, m_bWrongType)) return false;
  m_nSize = static_cast<std::uint64_t>(info.st_size);
  return true;
}

bool CInputFile::ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t length,
                        std::size_t& got, std::string& error) const {
  got = 0;
  while (got < length) {
    const std::uint64_t at = offset + got;
    if (at > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) break;
    const ssize_t n = pread(m_fd, out + got, length - got, static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = std::strerror(errno);
      return false;
    }
    // The end of the file: a file that shrank since it was opened is taken
    // as it now is.
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

#else

namespace {

HANDLE HandleOf(std::intptr_t fd) { return reinterpret_cast<HANDLE>(fd); }

}  // namespace

CInputFile::~CInputFile() {
  if (m_fd != -1) CloseHandle(HandleOf(m_fd));
}

bool CInputFile::Open(const std::string& path, std::string& error) {
  error.clear();
  const std::wstring wide = syspath::Widen(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    error = syspath::ErrorText(GetLastError());
    return false;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    error = "is a directory";
    m_bWrongType = true;
    return false;
  }
  // Others may go on reading, writing or renaming the file meanwhile, as
  // they may on POSIX.
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = syspath::ErrorText(GetLastError());
    return false;
  }
  m_fd = reinterpret_cast<std::intptr_t>(file);
  // A device name ("CON", "NUL") opens too; only files on a disk count.
  if (GetFileType(file) != FILE_TYPE_DISK) {
    error = "not a regular file";
    m_bWrongType = true;
    return false;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) {
    error = syspath::ErrorText(GetLastError());
    return false;
  }
  m_nSize = static_cast<std::uint64_t>(size.QuadPart);
  return true;
}

bool CInputFile::ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t length,
                        std::size_t& got, std::string& error) const {
  got = 0;
  constexpr std::size_t kMaxChunk = std::size_t{1} << 30;  // ReadFile counts in 32 bits
  while (got < length) {
    const std::uint64_t at = offset + got;
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(at);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    const DWORD chunk = static_cast<DWORD>(std::min(length - got, kMaxChunk));
    DWORD n = 0;
    if (!ReadFile(HandleOf(m_fd), out + got, chunk, &n, &where)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      error = syspath::ErrorText(GetLastError());
      return false;
    }
    if (n == 0) break;
    got += n;
  }
  return true;
}

#endif

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::string error;
  return ReadFileBytes(path, bytes, error);
}

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
  return ReadFileBytes(path, bytes, error, std::numeric_limits<std::size_t>::max());
}

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error,
                   std::size_t maxSize) {
  bytes.clear();
  CInputFile file;
  if (!file.Open(path, error)) return false;
  if (file.Size() > maxSize) {
    error = "larger than " + std::to_string(maxSize) + " bytes";
    return false;
  }
  try {
    bytes.resize(static_cast<std::size_t>(file.Size()));
  } catch (const std::bad_alloc&) {
    error = "too large to fit in memory";
    return false;
  }
  std::size_t got = 0;
  if (!file.ReadAt(0, bytes.data(), bytes.size(), got, error)) {
    bytes.clear();
    return false;
  }
  bytes.resize(got);
  return true;
}

}  // namespace filebytes
