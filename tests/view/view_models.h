// Models for the view tests, described in code.
#pragma once

#include <string>

#include "lgmd_builder/lgmd_builder.h"

namespace view_test {

// Colour triangles spread over the vertices, with exactly the counts
// asked for. With two vertices or more its bounding box runs from
// (-1, -2, -3) to (1, 2, 3): fit distance 9.0, key step 0.18.
inline lgmd::ModelDesc CountedModel(int polygons, int vertices, int materials) {
  lgmd::ModelDesc desc;
  desc.name = "counted";
  for (int m = 0; m < materials; ++m) {
    lgmd::BuilderMaterial material;
    material.name = "paint" + std::to_string(m);
    material.kind = 1;
    material.id = static_cast<std::uint8_t>(m);
    material.red = static_cast<std::uint8_t>(m * 5);
    desc.materials.push_back(material);
  }
  desc.vertices.push_back({-1.0f, -2.0f, -3.0f});
  for (int v = 1; v + 1 < vertices; ++v) desc.vertices.push_back({0.001f * v, 0.0f, 0.0f});
  if (vertices > 1) desc.vertices.push_back({1.0f, 2.0f, 3.0f});
  desc.normals.push_back({0.0f, 0.0f, 1.0f});
  for (int p = 0; p < polygons; ++p) {
    lgmd::BuilderPolygon polygon;
    polygon.materialId = static_cast<std::int16_t>(materials > 0 ? p % materials : 255);
    polygon.flags = 0x40;  // takes a colour material
    for (int c = 0; c < 3; ++c) {
      polygon.vertIdx.push_back(static_cast<std::int16_t>((p + c) % vertices));
    }
    desc.polygons.push_back(polygon);
  }
  return desc;
}

// The fit distance of CountedModel and the key step that follows from it.
inline constexpr double kCountedFit = 9.0;
inline constexpr double kCountedStep = 0.18;

// Every vertex at (5, 5, 5): the camera fit gives distance 0.0.
inline lgmd::ModelDesc SinglePointModel() {
  lgmd::ModelDesc desc = CountedModel(2, 4, 1);
  for (auto& vertex : desc.vertices) vertex = {5.0f, 5.0f, 5.0f};
  return desc;
}

}  // namespace view_test
