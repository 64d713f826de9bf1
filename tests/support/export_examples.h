// Models for the export tests: every kind of material the viewer draws
// differently and sub-objects nested two deep, with their textures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lgmd_builder/lgmd_builder.h"

namespace lgmd {

// Texture indices of the example's 4 x 4 textures: rows 0 and 1 take the
// first, rows 2 and 3 the second.
inline std::vector<std::uint8_t> TwoBandIndices(std::uint8_t firstRows, std::uint8_t lastRows) {
  std::vector<std::uint8_t> indices(16, lastRows);
  std::fill(indices.begin(), indices.begin() + 8, firstRows);
  return indices;
}

// A polygon facing +z (clockwise seen from +z, the side the viewer shows)
// over new vertices at the given x, y, in sub-object range value aux.
inline BuilderPolygon FacingPolygon(ModelDesc& desc, const std::vector<std::array<float, 2>>& xy,
                                    std::int16_t aux, std::int16_t materialId, std::uint8_t flags) {
  BuilderPolygon polygon;
  polygon.materialId = materialId;
  polygon.flags = flags;
  for (std::size_t i = 0; i < xy.size(); ++i) {
    polygon.vertIdx.push_back(static_cast<std::int16_t>(desc.vertices.size()));
    polygon.texIdx.push_back(static_cast<std::int16_t>(i % desc.texCoords.size()));
    desc.vertices.push_back({xy[i][0], xy[i][1], 0.0f});
  }
  polygon.auxIdx.assign(xy.size(), aux);
  const bool textured = materialId != kNoMaterialId && (flags & kColourFlag) == 0;
  if (!textured) polygon.texIdx.clear();
  return polygon;
}

// Body: a triangle without material. Object 0 (moved 5 along z): a quad of
// colour material "paint" and a quad textured "skin". Object 1, child of
// object 0 (moved 1 along x): a pentagon textured "t_glass" (see-through)
// and a triangle textured "lost", whose texture file is never written.
// Range values: object 0 takes 10..19, object 1 20..29, the body 0.
inline ModelDesc ExportExampleModel() {
  ModelDesc desc;
  desc.name = "sampler";
  desc.materials = {{"paint", kColourKind, 1, 40, 120, 200},
                    {"skin", kTexturedKind, 2, 1, 0, 0},
                    {"t_glass", kTexturedKind, 3, 2, 0, 0},
                    {"lost", kTexturedKind, 4, 3, 0, 0}};
  desc.texCoords = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  desc.normals = {{0, 0, 1}};
  const std::vector<std::array<float, 2>> square = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
  desc.polygons = {
      FacingPolygon(desc, {{-3, -3}, {-3, -2}, {-2, -2}}, 0, kNoMaterialId, 0),
      FacingPolygon(desc, square, 10, 1, kColourFlag),
      FacingPolygon(desc, {{2, -1}, {2, 1}, {4, 1}, {4, -1}}, 10, 2, 0),
      FacingPolygon(desc, {{0, -1}, {-1, 0}, {0, 2}, {2, 1}, {1, -1}}, 20, 3, 0),
      FacingPolygon(desc, {{0, 3}, {1, 4}, {2, 3}}, 20, 4, 0),
  };
  BuilderObject root;
  BuilderObject outer;
  outer.matrix = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 5};
  outer.rangeFirst = 10;
  outer.rangeLength = 10;
  outer.childLink = 2;  // file object 2, the inner one, hangs below
  BuilderObject inner;
  inner.matrix = {1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0};
  inner.rangeFirst = 20;
  inner.rangeLength = 10;
  desc.objects = {root, outer, inner};
  return desc;
}

// Triangles the example draws: 1 + 2 + 2 + 3 + 1.
inline constexpr int kExampleTriangles = 9;
// Materials its polygons use: four of the file's and the default colour.
inline constexpr int kExampleMaterials = 5;

// Writes the example as dir/name.bin with the textures it finds ("lost" is
// missing); returns the model's path.
inline std::string WriteExportExample(const std::string& dir, const std::string& name) {
  const std::string model = dir + "/" + name + ".bin";
  WriteFile(model, Build(ExportExampleModel()));
  WriteFile(dir + "/skin.mip", BuildMip(4, 4, TwoBandIndices(200, 100)));
  WriteFile(dir + "/t_glass.mip", BuildMip(4, 4, TwoBandIndices(0, 150)));
  return model;
}

}  // namespace lgmd
