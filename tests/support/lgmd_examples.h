// Small models shared by the reader, placement and command tests.
#pragma once

#include "lgmd_builder/lgmd_builder.h"

namespace lgmd {

// The smallest useful model: one textured triangle (material "wall", id 7,
// blue byte 12), three texture coordinates, one face normal (0, 0, 1) and
// only the root object. Version 2; the file is 331 bytes.
inline ModelDesc TriangleModel() {
  ModelDesc desc;
  desc.version = 2;
  desc.name = "tri";
  desc.materials = {{"wall", 0, 7, 12, 0, 0}};
  desc.texCoords = {{0.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, 1.0f}};
  desc.vertices = {{0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}};
  desc.normals = {{0.0f, 0.0f, 1.0f}};
  BuilderPolygon polygon;
  polygon.materialId = 7;
  polygon.flags = 0;
  polygon.normalIndex = 0;
  polygon.vertIdx = {0, 1, 2};
  polygon.auxIdx = {0, 0, 0};
  polygon.texIdx = {0, 1, 2};
  desc.polygons = {polygon};
  return desc;
}

}  // namespace lgmd
