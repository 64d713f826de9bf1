// Describe an LGMD model in code and get the bytes of its file. Tests build
// their inputs with it instead of keeping binary files, and the sample tool
// builds the demo aircraft with it.
//
// Layout written: the 110-byte header, the object section (root object
// first), materials, texture coordinates, vertices, normals, polygons, or
// those sections in another order with padding between them (`order`,
// `gapBefore`). The section table is computed from that layout unless
// overridden, and so are the header counts; every override exists to make
// malformed files.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lgmd {

// A material's kind: textured, or one plain colour.
inline constexpr std::uint8_t kTexturedKind = 0;
inline constexpr std::uint8_t kColourKind = 1;

struct BuilderMaterial {
  std::string name;  // up to 16 bytes, NUL padded
  std::uint8_t kind = kTexturedKind;
  std::uint8_t id = 0;
  std::uint8_t blue = 0;  // also the texture number of a textured material
  std::uint8_t green = 0;
  std::uint8_t red = 0;
  std::array<std::uint8_t, 5> unused{};  // bytes 21 to 25
};

// A polygon's flag that picks a colour material over a textured one of the
// same id, and the id that matches no material.
inline constexpr std::uint8_t kColourFlag = 0x40;
inline constexpr std::int16_t kNoMaterialId = 255;

struct BuilderPolygon {
  std::int16_t materialId = kNoMaterialId;
  std::uint8_t flags = 0;
  std::int16_t normalIndex = 0;
  std::vector<std::int16_t> vertIdx;
  std::vector<std::int16_t> auxIdx;  // empty: all zero, one per corner
  std::vector<std::int16_t> texIdx;  // written as given; empty writes none
  // Corner count written; defaults to vertIdx.size().
  std::optional<std::uint8_t> cornerCount;
  // Bytes 0-1, 8-11 and the byte that ends a version-4 record.
  std::array<std::uint8_t, 7> unused{};
};

struct BuilderObject {
  std::string name;  // up to 8 bytes
  std::array<float, 12> matrix = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
  std::int16_t childLink = -1;
  std::int16_t rangeFirst = 0;
  std::int16_t rangeLength = 0;
  // The record's unused bytes in file order: 13 after the name, 10 after
  // the child link, 8 at the end.
  std::array<std::uint8_t, 31> unused{};
};

// The sections of a file, for laying them out in another order.
enum class Section { kObjects, kMaterials, kTexCoords, kVertices, kNormals, kPolygons };

struct ModelDesc {
  std::int32_t version = 2;
  std::string name;  // up to 8 bytes
  std::vector<BuilderMaterial> materials;
  std::vector<std::array<float, 2>> texCoords;
  std::vector<std::array<float, 3>> vertices;
  std::vector<std::array<float, 3>> normals;
  std::vector<BuilderPolygon> polygons;
  // Object records in file order; element 0 is the root object. When empty,
  // one default root object is written.
  std::vector<BuilderObject> objects;

  // Overrides for malformed files.
  std::optional<std::int16_t> polygonCount;
  std::optional<std::int16_t> vertexCount;
  std::optional<std::uint8_t> materialCount;
  std::optional<std::uint8_t> objectCount;
  std::optional<std::array<std::int32_t, 10>> sectionTable;
  // Extra bytes appended after the polygon section (e.g. texture
  // coordinate padding tests); cut the result to truncate.
  std::vector<std::uint8_t> trailer;

  // The header's unused bytes: 16-59, 64-65, 67, 68.
  std::array<std::uint8_t, 48> headerUnused{};
  // The order of the sections after the header, and bytes of padding put
  // before each one (gapBefore[i] before order[i]); the table follows.
  std::array<Section, 6> order = {Section::kObjects,  Section::kMaterials, Section::kTexCoords,
                                  Section::kVertices, Section::kNormals,   Section::kPolygons};
  std::array<std::uint8_t, 6> gapBefore{};
};

// The bytes of the file.
std::vector<std::uint8_t> Build(const ModelDesc& desc);

// The section table Build would write for desc (no overrides applied).
std::array<std::int32_t, 10> SectionTable(const ModelDesc& desc);

// A ".mip" texture: 12-byte header (pixel data offset, 4 unused bytes,
// width, height), padding up to pixelOffset, then the indices.
std::vector<std::uint8_t> BuildMip(std::int16_t width, std::int16_t height,
                                   const std::vector<std::uint8_t>& indices,
                                   std::int32_t pixelOffset = 12);

// Writes bytes to path; false on any error.
bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace lgmd
