// The part of safe writing that is the same on every system: a set of
// files is written beside its targets, put in place one by one, and taken
// back as a whole when one of them fails. Each system gives the steps that
// touch its files (safe_write.cpp, safe_write_win.cpp).
#pragma once

#include <atomic>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "io/safe_write.h"

namespace safewrite::detail {

namespace fs = std::filesystem;

// A path in the system's own characters: UTF-8 on POSIX, UTF-16 on Windows.
using SystemString = fs::path::string_type;

// A file being made, from its creation beside the target to its move.
struct Pending {
  std::string path;     // as the caller named it, for messages
  SystemString target;  // the file that is replaced (a link resolved)
  SystemString temp;    // the new file; empty once moved or removed
  SystemString backup;  // the replaced file's old content, until the set is in place
  bool existed = false;
  bool replaced = false;
  bool inPlace = false;
  std::span<const std::uint8_t> bytes;
};

inline fs::path DirectoryOf(const fs::path& target) {
  return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

// False with errno set when not every byte went out.
bool WriteAll(int fd, std::span<const std::uint8_t> bytes, const WriteFn& write);

// The system's steps.
ssize_t PlainWrite(int fd, const void* data, std::size_t size);
unsigned long ProcessId();
// Whether the last failed creation failed because the name was taken.
bool NameTaken();
// Checks the target and writes the bytes to a new file beside it.
WriteResult Prepare(Pending& file, const WriteFn& write);
// Moves the new file over the target, keeping the old content aside.
WriteResult PutInPlace(Pending& file);
// A device or a pipe takes the bytes as they come.
WriteResult WriteInPlace(const Pending& file, const WriteFn& write);
void Remove(const SystemString& file);
// Moves the kept old content back over the target.
void Restore(const SystemString& backup, const SystemString& target);
// Makes the moves in the target's folder last; where a move is written
// through already, nothing.
void SyncDirectory(const SystemString& target);

// A name of our own beside the target, short so that a target name near
// the file system's limit still leaves room for it. make(name) creates it
// exclusively; another file of the name makes it try the next.
template <typename Make>
bool MakeSibling(const SystemString& target, const char* suffix, SystemString& made, Make make) {
  static std::atomic<unsigned> counter{0};
  const fs::path dir = DirectoryOf(fs::path(target));
  for (int attempt = 0; attempt < 100; ++attempt) {
    made = (dir /
            (".zorvik-" + std::to_string(ProcessId()) + "-" + std::to_string(counter++) + suffix))
               .native();
    if (make(made)) return true;
    if (!NameTaken()) break;
  }
  made.clear();
  return false;
}

}  // namespace safewrite::detail
