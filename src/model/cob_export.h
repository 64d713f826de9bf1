// The trueSpace object file (".cob") writer, split in two so that each half
// can be checked on its own: the bytes of the file, built in memory, and the
// safe replacement of the target with those bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

class CModel;

namespace cob {

// Sizes of the fixed parts of the file.
inline constexpr std::size_t kFileHeaderSize = 32;
inline constexpr std::size_t kChunkHeaderSize = 20;
inline constexpr std::size_t kEndChunkSize = 20;
// Offset of the polygon chunk's body-length field.
inline constexpr std::size_t kChunkLengthOffset = kFileHeaderSize + 16;

// The whole file for the model: header, one polygon chunk with the vertex
// positions and faces, and the closing chunk.
std::vector<std::uint8_t> BuildCobFile(const CModel& model);

// Writes up to size bytes to the descriptor; returns the count written, or
// -1 with errno set, as write(2) does.
using WriteFn = std::function<ssize_t(int fd, const void* data, std::size_t size)>;

// Puts bytes at path without ever leaving a damaged file there: the bytes go
// to a new file beside the target, which replaces the target only when every
// write, the flush to disk and the close succeeded. On failure the target is
// as it was, the new file is gone, strError holds the message and the result
// is -1; 0 on success. A target that exists and is neither a regular file nor
// a directory (a device, a pipe) is written in place, as it cannot be
// replaced.
int ReplaceFileContents(const std::string& path, const std::vector<std::uint8_t>& bytes,
                        std::string& strError, const WriteFn& write);

// The same with write(2).
int ReplaceFileContents(const std::string& path, const std::vector<std::uint8_t>& bytes,
                        std::string& strError);

}  // namespace cob
