// The trueSpace object file (".cob") writer: the bytes of the file are built
// in memory, and CModel::ExportCob hands them to the safe-write path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

}  // namespace cob
