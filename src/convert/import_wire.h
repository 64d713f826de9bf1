// The bytes the import worker writes to its standard output: an
// ImportScene, little-endian, behind a magic word. The reading side takes
// them as untrusted as the file they came from: every count is checked
// against the bytes left and against fixed ceilings before anything is
// sized by it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "convert/import_scene.h"

namespace importwire {

// Ceilings of what a scene may hold, far above what an LGMD model can use
// (--simplify reduces, so the input may be large) and far below what would
// exhaust the reading process.
inline constexpr std::size_t kMaxPositions = std::size_t{1} << 26;
inline constexpr std::size_t kMaxIndices = std::size_t{1} << 28;
inline constexpr std::size_t kMaxItems = std::size_t{1} << 20;  // meshes, nodes, materials
inline constexpr std::size_t kMaxText = 4096;
inline constexpr int kMaxTextureSide = 8192;
inline constexpr int kMaxTreeDepth = 1024;

// Appends the scene's bytes to out.
void Encode(const ImportScene& scene, std::vector<std::uint8_t>& out);

// Fills scene from bytes; false with the reason in error ("mesh 3 has
// indices past its 8 positions") when they do not describe a scene.
bool Decode(const std::uint8_t* data, std::size_t size, ImportScene& scene, std::string& error);

}  // namespace importwire
