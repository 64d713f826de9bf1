// Writing a file without ever leaving a damaged one behind. Every file the
// program writes (the configuration, every export, every rendered picture)
// goes through here:
//  - the bytes go to a new file in the target's directory, created
//    exclusively under a short name of its own;
//  - every byte is written, the new file is synced, then renamed over the
//    target, and the directory is synced;
//  - a symbolic link is followed, so the file it names gets the content
//    and the link stays a link;
//  - a replaced file keeps its permission bits, and its owner and group
//    where the user may keep them;
//  - a target the user may not write (no write permission, or a
//    read-only file such as one of mode 0444) is refused and left alone;
//  - a target that is a pipe or a device cannot be replaced and takes the
//    bytes in place; a pipe with no reader is refused rather than waited
//    for;
//  - on any failure the old file is intact and no temporary file remains.
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

// The two messages of a failure, naming the path as the caller gave it.
std::string OpenError(const std::string& path);   // "Error opening " + path + " for writing"
std::string WriteError(const std::string& path);  // "Error writing " + path

// 0 when the file holds exactly bytes; -1 with the message in strError.
int WriteFile(const std::string& path, std::span<const std::uint8_t> bytes, std::string& strError);
int WriteFile(const std::string& path, std::span<const std::uint8_t> bytes, std::string& strError,
              const WriteFn& write);

// Several files that belong together (a glTF file and its buffer and
// images): all are written to new files first, and only when every one is
// complete do they replace their targets. A failure before that point
// leaves every target as it was.
int WriteFiles(const std::vector<OutputFile>& files, std::string& strError);
int WriteFiles(const std::vector<OutputFile>& files, std::string& strError, const WriteFn& write);

}  // namespace safewrite
