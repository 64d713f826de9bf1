// A small model that holds every kind of record the format has: a version-4
// file (one more byte per polygon), textured, see-through ("t_") and colour
// materials, texture coordinates, several face normals, polygons of each
// material kind and one without material, and two sub-objects, the second
// a child of the first, each owning a polygon. The fuzz corpus and the
// truncation tests start from it.
#pragma once

#include "lgmd_builder/lgmd_builder.h"

namespace lgmd {

inline ModelDesc FullModel() {
  constexpr std::uint8_t kColourFlag = 0x40;
  ModelDesc desc;
  desc.version = 4;
  desc.name = "full";
  desc.materials = {
      {"fabric.tex", 0, 1, 3, 0, 0}, {"t_glass", 0, 2, 4, 0, 0}, {"paint", 1, 3, 10, 200, 30}};
  desc.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  desc.vertices = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0},
                   {0, 0, 2},   {2, 0, 2},  {0, 2, 2}, {3, 3, 3}};
  desc.normals = {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}};
  desc.objects = {BuilderObject{}, BuilderObject{}, BuilderObject{}};
  desc.objects[1].name = "wing";
  desc.objects[1].childLink = 2;
  desc.objects[1].rangeFirst = 10;
  desc.objects[1].rangeLength = 10;
  desc.objects[2].name = "flap";
  desc.objects[2].matrix = {0, 1, 0, -1, 0, 0, 0, 0, 1, 10, 0, 0};
  desc.objects[2].rangeFirst = 20;
  desc.objects[2].rangeLength = 10;

  BuilderPolygon textured;
  textured.materialId = 1;
  textured.vertIdx = {0, 1, 2, 3};
  textured.texIdx = {0, 1, 2, 3};
  BuilderPolygon glass;
  glass.materialId = 2;
  glass.normalIndex = 1;
  glass.vertIdx = {4, 5, 6};
  glass.texIdx = {0, 1, 2};
  glass.auxIdx = {10, 10, 10};
  BuilderPolygon colour;
  colour.materialId = 3;
  colour.flags = kColourFlag;
  colour.normalIndex = 2;
  colour.vertIdx = {5, 6, 7};
  colour.auxIdx = {20, 20, 20};
  BuilderPolygon bare;
  bare.vertIdx = {7, 0, 1};
  bare.auxIdx = {20, 20, 20};
  desc.polygons = {textured, glass, colour, bare};
  return desc;
}

}  // namespace lgmd
