// Where things lie in an LGMD file, and the one rule that gives a polygon
// its material: what the reader takes apart and the writer puts together.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "model/model.h"

namespace lgmdfile {

inline constexpr std::size_t kHeaderSize = 110;
inline constexpr std::size_t kModelNameWidth = 8;
// Header: magic, version, name, 44 unused bytes, polygon and vertex counts,
// 2 unused, material count, 2 unused, object count, the section table.
inline constexpr std::size_t kHeaderUnusedAfterName = 44;
inline constexpr std::size_t kHeaderUnusedAfterCounts = 2;
inline constexpr std::size_t kHeaderUnusedAfterMaterials = 2;
inline constexpr int kSectionCount = 10;

// Section table entries.
inline constexpr int kObjectsStart = 0;
inline constexpr int kMaterialsStart = 1;
inline constexpr int kTexCoordsStart = 2;  // also the end of the materials
inline constexpr int kTexCoordsEnd = 3;
inline constexpr int kVerticesStart = 4;
inline constexpr int kVerticesEnd = 5;  // read by nothing here; the writer fills it in
inline constexpr int kNormalsStart = 6;
inline constexpr int kPolygonsStart = 7;  // also the end of the normals
inline constexpr int kPolygonsEnd = 8;    // read by nothing here; the writer fills it in

inline constexpr std::size_t kMaterialSize = 26;
inline constexpr std::size_t kMaterialNameWidth = 16;
inline constexpr std::size_t kMaterialUnusedTail = 5;
inline constexpr std::size_t kTexCoordSize = 8;
inline constexpr std::size_t kVertexSize = 12;
inline constexpr std::size_t kNormalSize = 12;

// Polygon record: 2 unused bytes, material id, flags, corner count, normal
// index, 4 unused bytes, then 2 bytes per index.
inline constexpr std::size_t kPolygonHeadSize = 8;
inline constexpr std::size_t kPolygonHeadSkip = 4;
inline constexpr std::size_t kPolygonMinSize = kPolygonHeadSize + kPolygonHeadSkip;
inline constexpr int kNoMaterialId = 255;
inline constexpr std::uint8_t kColourMaterialFlag = 0x40;
// Version 4 ends every polygon record with one byte nobody uses.
inline constexpr int kVersionWithPolygonPad = 4;
// Version 3 numbers its textures by material position, not by blue byte.
inline constexpr int kVersionNumberingTexturesByPosition = 3;

// Object record: name, 13 unused bytes, the matrix, the child link, 10
// unused, the index range (first, length), 8 unused.
inline constexpr std::size_t kObjectNameWidth = 8;
inline constexpr std::size_t kObjectMatrixAt = 21;
inline constexpr std::size_t kObjectChildAt = 69;
inline constexpr std::size_t kObjectRangeAt = 81;
inline constexpr int kNoChild = -1;

// Polygons and corners index with signed 16-bit values.
inline constexpr int kMaxIndex = 32767;

inline bool IsTransparentTextureName(const std::string& name) {
  return name.size() >= 2 && (name[0] == 't' || name[0] == 'T') && name[1] == '_';
}

// A polygon takes the first material, in index order, with its id and the
// kind its flags ask for. Ids are bytes and only kinds 0 and 1 ever match,
// so one table of 2 x 256 answers every polygon at once; filling it from
// the last material to the first leaves the first one in place.
template <typename M>
class MaterialIndex {
 public:
  template <typename Materials>
  explicit MaterialIndex(Materials& materials) {
    for (auto& byId : m_table) byId.fill(nullptr);
    for (auto it = materials.rbegin(); it != materials.rend(); ++it) {
      if (it->nKind != kTexturedKind && it->nKind != kColourKind) continue;
      if (it->nId < 0 || it->nId > 255) continue;
      m_table[static_cast<std::size_t>(it->nKind)][static_cast<std::size_t>(it->nId)] = &*it;
    }
  }

  M* Match(int materialId, std::uint8_t flags) const {
    if (materialId == kNoMaterialId || materialId < 0 || materialId > 255) return nullptr;
    const int kind = (flags & kColourMaterialFlag) ? kColourKind : kTexturedKind;
    return m_table[static_cast<std::size_t>(kind)][static_cast<std::size_t>(materialId)];
  }

 private:
  std::array<std::array<M*, 256>, 2> m_table{};
};

}  // namespace lgmdfile
