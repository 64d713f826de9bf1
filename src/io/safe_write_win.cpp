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

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "io/safe_write.h"
#include "io/system_path.h"

namespace safewrite {
namespace {

namespace fs = std::filesystem;

ssize_t PlainWrite(int fd, const void* data, std::size_t size) {
  // _write counts in 32 bits; the loop below asks again for the rest.
  constexpr std::size_t kMaxChunk = std::size_t{1} << 30;
  return _write(fd, data, static_cast<unsigned>(size < kMaxChunk ? size : kMaxChunk));
}

// False with errno set when not every byte went out.
bool WriteAll(int fd, std::span<const std::uint8_t> bytes, const WriteFn& write) {
  const std::uint8_t* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = write(fd, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return false;
    if (written == 0) {
      errno = EIO;
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

struct Pending {
  std::string path;     // as the caller named it, for messages
  std::wstring target;  // the file that is replaced
  std::wstring temp;    // the new file; empty once moved or removed
  std::wstring backup;  // the replaced file's old content, until the set is in place
  bool existed = false;
  bool replaced = false;
  bool inPlace = false;
  std::span<const std::uint8_t> bytes;
};

WriteResult SystemFailure(WriteStatus status, const Pending& file, DWORD error) {
  return {status, file.path, syspath::ErrorText(error)};
}

WriteResult ErrnoFailure(WriteStatus status, const Pending& file, int error) {
  return {status, file.path, std::strerror(error)};
}

fs::path DirectoryOf(const fs::path& target) {
  return target.has_parent_path() ? target.parent_path() : fs::path(L".");
}

// A name of our own beside the target; make(name) creates it exclusively
// and fails with ERROR_FILE_EXISTS when another file has the name.
template <typename Make>
bool MakeSibling(const std::wstring& target, const wchar_t* suffix, std::wstring& made, Make make) {
  static std::atomic<unsigned> counter{0};
  const fs::path dir = DirectoryOf(fs::path(target));
  for (int attempt = 0; attempt < 100; ++attempt) {
    made = (dir / (L".zorvik-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                   std::to_wstring(counter++) + suffix))
               .wstring();
    if (make(made)) return true;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  made.clear();
  return false;
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

// A name the system keeps for a device, whatever folder it is in.
bool IsDevice(const std::wstring& target) {
  HANDLE handle = CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const DWORD type = GetFileType(handle);
  CloseHandle(handle);
  return type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
}

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
  if (!MakeSibling(file.target, L".tmp", file.temp, [&](const std::wstring& name) {
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

// Keeps what the target holds now under a name of our own, so that the
// set can be undone: a second link to the file where the file system has
// them, a copy where it does not.
bool KeepOldContent(Pending& file) {
  if (MakeSibling(file.target, L".old", file.backup, [&](const std::wstring& name) {
        return CreateHardLinkW(name.c_str(), file.target.c_str(), nullptr) != 0;
      })) {
    return true;
  }
  return MakeSibling(file.target, L".old", file.backup, [&](const std::wstring& name) {
    return CopyFileW(file.target.c_str(), name.c_str(), TRUE) != 0;
  });
}

void RemoveLeftovers(std::vector<Pending>& files) {
  for (Pending& file : files) {
    if (!file.temp.empty()) DeleteFileW(file.temp.c_str());
    if (!file.backup.empty()) DeleteFileW(file.backup.c_str());
    file.temp.clear();
    file.backup.clear();
  }
}

void Undo(std::vector<Pending>& files) {
  for (auto it = files.rbegin(); it != files.rend(); ++it) {
    if (!it->replaced) continue;
    if (it->backup.empty()) {
      DeleteFileW(it->target.c_str());
    } else {
      Move(it->backup, it->target);
      it->backup.clear();  // moved back, or the old content stays under its own name
    }
  }
  RemoveLeftovers(files);
}

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

WriteResult Commit(std::vector<Pending>& files, const WriteFn& write) {
  for (Pending& file : files) {
    WriteResult result = Prepare(file, write);
    if (!result.Ok()) {
      RemoveLeftovers(files);
      return result;
    }
  }
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
