// The Windows side of safe_write.h. The same promise as on POSIX: the
// bytes go to a new file beside the target, are flushed to the disk, and
// the new file replaces the target in one move; a set of files is all or
// nothing. What differs is the system's: no permission bits or owners to
// keep (a read-only file is refused, as a file of mode 0444 is), no
// directory to sync (the move is written through instead), and a device
// name ("NUL", "CON") takes the bytes in place.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

#include "io/safe_write_set.h"
#include "io/system_path.h"

namespace safewrite::detail {

ssize_t PlainWrite(int fd, const void* data, std::size_t size) {
  // _write counts in 32 bits; the loop below asks again for the rest.
  constexpr std::size_t kMaxChunk = std::size_t{1} << 30;
  return _write(fd, data, static_cast<unsigned>(size < kMaxChunk ? size : kMaxChunk));
}

unsigned long ProcessId() { return GetCurrentProcessId(); }

bool NameTaken() {
  const DWORD error = GetLastError();
  return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

namespace {

WriteResult SystemFailure(WriteStatus status, const Pending& file, DWORD error) {
  return {status, file.path, syspath::ErrorText(error)};
}

WriteResult ErrnoFailure(WriteStatus status, const Pending& file, int error) {
  return {status, file.path, std::strerror(error)};
}

bool Move(const std::wstring& from, const std::wstring& to) {
  return MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// Writes the bytes through a descriptor on handle, then flushes them to
// the disk. The handle is closed either way.
bool WriteHandle(HANDLE handle, std::span<const std::uint8_t> bytes, const WriteFn& write,
                 bool flush, WriteStatus& status, DWORD& systemError, int& crtError) {
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | _O_WRONLY);
  if (fd < 0) {
    CloseHandle(handle);
    status = WriteStatus::kCannotOpen;
    crtError = errno;
    return false;
  }
  bool ok = WriteAll(fd, bytes, write);
  crtError = errno;
  // A device cannot always be flushed; that is no write failure.
  if (ok && flush && !FlushFileBuffers(handle)) {
    systemError = GetLastError();
    ok = false;
  }
  if (_close(fd) != 0 && ok) {
    crtError = errno;
    ok = false;
  }
  status = WriteStatus::kCannotWrite;
  return ok;
}

WriteResult HandleFailure(const Pending& file, WriteStatus status, DWORD systemError,
                          int crtError) {
  return systemError != 0 ? SystemFailure(status, file, systemError)
                          : ErrnoFailure(status, file, crtError);
}

}  // namespace

WriteResult WriteInPlace(const Pending& file, const WriteFn& write) {
  HANDLE handle =
      CreateFileW(file.target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return SystemFailure(WriteStatus::kCannotOpen, file, GetLastError());
  }
  WriteStatus status{};
  DWORD systemError = 0;
  int crtError = 0;
  if (!WriteHandle(handle, file.bytes, write, false, status, systemError, crtError)) {
    return HandleFailure(file, status, systemError, crtError);
  }
  return {};
}

namespace {

// A name the system keeps for a device, whatever folder it is in.
bool IsDevice(const std::wstring& target) {
  HANDLE handle = CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const DWORD type = GetFileType(handle);
  CloseHandle(handle);
  return type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
}

}  // namespace

// Checks the target and writes the bytes to a new file beside it.
WriteResult Prepare(Pending& file, const WriteFn& write) {
  file.target = syspath::Widen(file.path);
  if (file.target.empty()) return ErrnoFailure(WriteStatus::kCannotOpen, file, ENOENT);
  const DWORD attributes = GetFileAttributesW(file.target.c_str());
  file.existed = attributes != INVALID_FILE_ATTRIBUTES;
  if (file.existed) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return ErrnoFailure(WriteStatus::kCannotOpen, file, EISDIR);
    }
    // A read-only file is the owner's wish that it stay as it is.
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      return SystemFailure(WriteStatus::kCannotOpen, file, ERROR_ACCESS_DENIED);
    }
  }
  if (IsDevice(file.target)) {
    file.inPlace = true;
    return {};
  }
  if (fs::path(file.target).filename().empty()) {
    return ErrnoFailure(WriteStatus::kCannotOpen, file, EISDIR);
  }
  HANDLE handle = INVALID_HANDLE_VALUE;
  if (!MakeSibling(file.target, ".tmp", file.temp, [&](const std::wstring& name) {
        handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        return handle != INVALID_HANDLE_VALUE;
      })) {
    return SystemFailure(WriteStatus::kCannotOpen, file, GetLastError());
  }
  WriteStatus status{};
  DWORD systemError = 0;
  int crtError = 0;
  if (!WriteHandle(handle, file.bytes, write, true, status, systemError, crtError)) {
    DeleteFileW(file.temp.c_str());
    file.temp.clear();
    return HandleFailure(file, status, systemError, crtError);
  }
  return {};
}

namespace {

// Keeps what the target holds now under a name of our own, so that the
// set can be undone: a second link to the file where the file system has
// them, a copy where it does not.
bool KeepOldContent(Pending& file) {
  if (MakeSibling(file.target, ".old", file.backup, [&](const std::wstring& name) {
        return CreateHardLinkW(name.c_str(), file.target.c_str(), nullptr) != 0;
      })) {
    return true;
  }
  return MakeSibling(file.target, ".old", file.backup, [&](const std::wstring& name) {
    return CopyFileW(file.target.c_str(), name.c_str(), TRUE) != 0;
  });
}

}  // namespace

void Remove(const SystemString& file) { DeleteFileW(file.c_str()); }

void Restore(const SystemString& backup, const SystemString& target) { Move(backup, target); }

// MoveFileExW writes the move through; there is nothing more to sync.
void SyncDirectory(const SystemString&) {}

WriteResult PutInPlace(Pending& file) {
  if (file.existed && !KeepOldContent(file)) {
    return SystemFailure(WriteStatus::kCannotWrite, file, GetLastError());
  }
  if (!Move(file.temp, file.target)) {
    return SystemFailure(WriteStatus::kCannotWrite, file, GetLastError());
  }
  file.temp.clear();
  file.replaced = true;
  return {};
}

}  // namespace safewrite::detail
