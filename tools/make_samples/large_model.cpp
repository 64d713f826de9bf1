#include "large_model.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "geometry.h"

namespace samples {

namespace {

constexpr int kSubObjects = 16;
constexpr int kMaterials = 255;   // the count is a byte; 255 is also "no material"
constexpr int kMaxCount = 32767;  // vertex and polygon counts are signed 16-bit
constexpr double kSpacing = 3.0;

// A torus of columns x rows vertices has exactly as many quads as
// vertices, which lets the polygon count reach its limit together with
// the vertex count. firstFace numbers the quads across all tori so that
// materials cycle through the whole model.
Part Torus(const std::string& name, int columns, int rows, int& firstFace) {
  Part part(name);
  constexpr double kMajor = 1.0, kMinor = 0.35;
  const double twoPi = 2 * std::numbers::pi;
  for (int i = 0; i < columns; ++i) {
    const double phi = twoPi * i / columns;
    for (int j = 0; j < rows; ++j) {
      const double theta = twoPi * j / rows;
      const double ring = kMajor + kMinor * std::cos(theta);
      part.AddVertex({ring * std::cos(phi), kMinor * std::sin(theta), ring * std::sin(phi)});
    }
  }
  auto at = [&](int i, int j) { return (i % columns) * rows + (j % rows); };
  for (int i = 0; i < columns; ++i) {
    const double phi = twoPi * (i + 0.5) / columns;
    const Vec3 core{kMajor * std::cos(phi), 0, kMajor * std::sin(phi)};
    for (int j = 0; j < rows; ++j) {
      const int m = firstFace++ % kMaterials;
      // Even materials are textured, odd ones colour materials.
      const bool textured = m % 2 == 0;
      const auto id = static_cast<std::uint8_t>(m);
      std::vector<std::array<float, 2>> uv;
      if (textured) {
        const auto u0 = static_cast<float>(i) / static_cast<float>(columns);
        const auto u1 = static_cast<float>(i + 1) / static_cast<float>(columns);
        const auto v0 = static_cast<float>(j) / static_cast<float>(rows);
        const auto v1 = static_cast<float>(j + 1) / static_cast<float>(rows);
        uv = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
      }
      part.AddFace({at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)}, core,
                   textured ? Textured(id) : Colour(id), uv);
    }
  }
  return part;
}

}  // namespace

bool BuildLargeModel(lgmd::ModelDesc& desc, std::string& error) {
  desc = {};
  desc.version = 4;
  desc.name = "large";
  for (int m = 0; m < kMaterials; ++m) {
    char name[17];
    std::snprintf(name, sizeof name, "mat%03d", m);
    const auto byte = static_cast<std::uint8_t>(m);
    desc.materials.push_back({name, static_cast<std::uint8_t>(m % 2), byte, byte,
                              static_cast<std::uint8_t>(m * 7), static_cast<std::uint8_t>(m * 13)});
  }

  // Fifteen tori of 32 x 64 and one of 23 x 89 give 15 * 2048 + 2047 =
  // 32767 vertices. They stand on a 4 x 4 grid; every second one hangs
  // from its left neighbour, so placement walks parent chains too.
  std::vector<SubObjectSpec> parts;
  int face = 0;
  for (int s = 0; s < kSubObjects; ++s) {
    const bool last = s == kSubObjects - 1;
    char name[9];
    std::snprintf(name, sizeof name, "torus%02d", s);
    Part torus = last ? Torus(name, 23, 89, face) : Torus(name, 32, 64, face);
    const int column = s % 4, row = s / 4;
    if (s % 2 == 1) {
      parts.push_back(
          {std::move(torus), Then(RotationZ(30.0), Translation({kSpacing, 0, 0})), s - 1});
    } else {
      const Vec3 at{(column - 1.5) * kSpacing, (row - 1.5) * kSpacing, 0};
      parts.push_back({std::move(torus), Then(RotationX(60.0 + 5.0 * s), Translation(at)), -1});
    }
  }
  if (!Assemble(Part("large"), parts, desc, error)) return false;
  if (desc.vertices.size() != kMaxCount || desc.polygons.size() != kMaxCount) {
    error = "the large model does not reach the format's limits";
    return false;
  }
  return true;
}

}  // namespace samples
