// Reading the largest model the format can describe: 32767 vertices, 32767
// four-cornered polygons, 16 sub-objects and 255 materials. The file is
// built once and read from disk in every iteration, as the viewer opens it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "lgmd_builder/lgmd_builder.h"
#include "model/model.h"
#include "support/temp_dir.h"

namespace {

constexpr int kMaxCount = 32767;
constexpr int kSubObjects = 16;
constexpr int kMaterials = 255;
constexpr int kTexCoords = 4096;

lgmd::ModelDesc LargestModel() {
  lgmd::ModelDesc desc;
  desc.name = "largest";
  desc.version = 4;
  for (int i = 0; i < kMaterials; ++i) {
    const auto id = static_cast<std::uint8_t>(i / 2);
    const auto kind = static_cast<std::uint8_t>(i % 2);
    desc.materials.push_back(
        {"mat" + std::to_string(i), kind, id, static_cast<std::uint8_t>(i), 1, 2});
  }
  for (int i = 0; i < kTexCoords; ++i) {
    desc.texCoords.push_back(
        {static_cast<float>(i % 64) / 64.0f, static_cast<float>(i / 64) / 64.0f});
  }
  for (int i = 0; i < kMaxCount; ++i) {
    desc.vertices.push_back({static_cast<float>(i % 181), static_cast<float>(i / 181), 0.5f * i});
  }
  desc.normals = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}};
  // Sub-object k owns the index range [k*2048, k*2048+2047]; the polygons
  // come in that order, and each sub-object is the child of the one before.
  desc.objects.push_back(lgmd::BuilderObject{});
  const int perObject = (kMaxCount + kSubObjects - 1) / kSubObjects;
  for (int k = 0; k < kSubObjects; ++k) {
    lgmd::BuilderObject o;
    o.matrix = {0, 1, 0, -1, 0, 0, 0, 0, 1, 1.0f * k, 2, 3};
    o.rangeFirst = static_cast<std::int16_t>(k * perObject);
    o.rangeLength = static_cast<std::int16_t>(perObject);
    o.childLink = static_cast<std::int16_t>(k + 1 < kSubObjects ? k + 2 : -1);
    desc.objects.push_back(o);
  }
  for (int i = 0; i < kMaxCount; ++i) {
    lgmd::BuilderPolygon p;
    const bool textured = i % 3 != 0;
    p.materialId = static_cast<std::int16_t>((i % kMaterials) / 2);
    p.flags = textured ? 0 : 0x40;
    p.normalIndex = static_cast<std::int16_t>(i % 3);
    for (int c = 0; c < 4; ++c) {
      p.vertIdx.push_back(static_cast<std::int16_t>((i + c * 7) % kMaxCount));
      p.auxIdx.push_back(static_cast<std::int16_t>(i));
      if (textured) p.texIdx.push_back(static_cast<std::int16_t>((i + c) % kTexCoords));
    }
    desc.polygons.push_back(p);
  }
  return desc;
}

void BM_ReadLargestModel(benchmark::State& state) {
  ScopedTempDir dir;
  const std::string path = dir.File("largest.bin");
  const auto bytes = lgmd::Build(LargestModel());
  if (!lgmd::WriteFile(path, bytes)) {
    state.SkipWithError("cannot write the model file");
    return;
  }
  CModel model;
  for (auto _ : state) {
    if (model.Read(path) != 0) {
      state.SkipWithError("the model was refused");
      return;
    }
    benchmark::DoNotOptimize(model.m_vecVertices.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes.size()));
  state.counters["polygons"] = model.m_nPolygons;
}
BENCHMARK(BM_ReadLargestModel)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
