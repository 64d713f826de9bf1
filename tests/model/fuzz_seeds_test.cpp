// Writes the LGMD reader's fuzzing seeds into the build directory: a few
// well-formed models that reach every part of the format. Each must read,
// or the fuzzer would start from files the reader already refuses.
#include <gtest/gtest.h>

#include <filesystem>

#include "lgmd_builder/lgmd_builder.h"
#include "model/model.h"
#include "support/lgmd_examples.h"

namespace {

using lgmd::BuilderObject;
using lgmd::BuilderPolygon;
using lgmd::ModelDesc;

std::vector<std::pair<std::string, ModelDesc>> Seeds() {
  std::vector<std::pair<std::string, ModelDesc>> seeds;
  seeds.emplace_back("triangle", lgmd::TriangleModel());

  for (int version : {3, 4, 5}) {
    ModelDesc desc = lgmd::TriangleModel();
    desc.version = version;
    desc.materials.push_back({"t_glass", 0, 7, 3, 4, 5});
    desc.materials.push_back({"paint", 1, 7, 3, 4, 5});
    BuilderPolygon colour = desc.polygons[0];
    colour.flags = 0x40;
    colour.texIdx.clear();
    desc.polygons.push_back(colour);
    seeds.emplace_back("version" + std::to_string(version), desc);
  }

  ModelDesc parts = lgmd::TriangleModel();
  parts.name = "parts";
  parts.objects = {BuilderObject{}, BuilderObject{}, BuilderObject{}};
  parts.objects[1].childLink = 2;
  parts.objects[1].rangeLength = 10;
  parts.objects[2].matrix = {0, 1, 0, -1, 0, 0, 0, 0, 1, 10, 0, 0};
  parts.objects[2].rangeFirst = 10;
  parts.objects[2].rangeLength = 10;
  BuilderPolygon second = parts.polygons[0];
  second.auxIdx = {10, 10, 10};
  parts.polygons.push_back(second);
  seeds.emplace_back("subobjects", parts);

  ModelDesc bare;
  bare.vertices = {{1, 2, 3}, {4, 5, 6}};
  bare.normals = {{0, 1, 0}};
  BuilderPolygon line;
  line.vertIdx = {0, 1};
  bare.polygons = {line};
  bare.materialCount = 3;
  seeds.emplace_back("no_material_records", bare);
  return seeds;
}

TEST(FuzzSeeds, EverySeedReads) {
  const std::filesystem::path dir =
      std::filesystem::path(ZORVIK_BINARY_DIR) / "fuzz_seeds" / "lgmd";
  std::filesystem::create_directories(dir);
  for (const auto& [name, desc] : Seeds()) {
    const auto bytes = lgmd::Build(desc);
    CModel model;
    EXPECT_EQ(model.ReadFromMemory(bytes.data(), bytes.size()), 0) << name;
    EXPECT_TRUE(lgmd::WriteFile((dir / (name + ".bin")).string(), bytes)) << name;
  }
}

}  // namespace
