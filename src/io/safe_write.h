// Writing files without ever leaving a damaged one behind. Every file the
// program writes (the configuration, every export, every rendered picture)
// goes through here:
//  - the bytes go to a new file in the target's directory, created
//    exclusively under a short name of its own;
//  - every byte is written, the new file is synced, then renamed over the
//    target, and the directory is synced;
//  - a symbolic link to a file is followed, so the file it names gets the
//    content and the link stays a link; a link to nothing is replaced by
//    a regular file;
//  - a replaced file keeps its permission bits, and its owner and group
//    where the user may keep them;
//  - a target the user may not write (no write permission, or a
//    read-only file such as one of mode 0444) is refused and left alone;
//  - a target that is a pipe or a device cannot be replaced and takes the
//    bytes in place; a pipe with no reader is refused rather than waited
//    for;
//  - a set of files (a glTF file, its buffer and its pictures) is all or
//    nothing: when one of them cannot be put in place, the targets already
//    replaced get their old content back and new ones are removed;
//  - on any failure the old files are intact, no temporary file remains,
//    and the result says which file failed and why.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace safewrite {

// Writes up to size bytes to the descriptor; returns the count written, or
// -1 with errno set, as write(2) does. Tests put a failing one in.
using WriteFn = std::function<ssize_t(int fd, const void* data, std::size_t size)>;

struct OutputFile {
  std::string path;
  std::vector<std::uint8_t> bytes;
};

enum class WriteStatus {
  kOk,
  kCannotOpen,   // the target cannot be created or replaced
  kCannotWrite,  // the bytes could not all be written or put in place
};

// What became of a write: the file it failed on, as the caller named it,
// and the reason in the system's words ("No space left on device").
struct WriteResult {
  WriteStatus status = WriteStatus::kOk;
  std::string path;
  std::string reason;

  bool Ok() const { return status == WriteStatus::kOk; }
  // "Error opening PATH for writing" or "Error writing PATH".
  std::string Heading() const;
  // The heading and the reason on one line, as the commands print them.
  std::string Line() const;
  // The heading, then the reason on a line of its own, for a message box.
  std::string Box() const;
};

// The two headings, naming the path as the caller gave it.
std::string OpenError(const std::string& path);   // "Error opening " + path + " for writing"
std::string WriteError(const std::string& path);  // "Error writing " + path

WriteResult WriteFile(const std::string& path, std::span<const std::uint8_t> bytes);
WriteResult WriteFile(const std::string& path, std::span<const std::uint8_t> bytes,
                      const WriteFn& write);

// Several files that belong together, all or nothing (see above).
WriteResult WriteFiles(const std::vector<OutputFile>& files);
WriteResult WriteFiles(const std::vector<OutputFile>& files, const WriteFn& write);

}  // namespace safewrite
