// Building the files of a glTF and an OBJ export in memory (scene, PNG
// textures, serialisation; no disk writes) for the demo aircraft and the
// largest legal model with a 64 x 64 texture on every textured material.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench_support.h"
#include "convert/export_formats.h"
#include "model/model.h"

namespace {

void BuildRepeatedly(benchmark::State& state, bool large, ExportFormat format) {
  bench::SampleContent content;
  if (!content.ok()) {
    state.SkipWithError(content.error().c_str());
    return;
  }
  const std::string path = large ? content.LargeModel() : content.Biplane();
  CModel model;
  if (!model.Read(path).ok() || !model.LoadPalette(AppPaths().GetBaseDir() + "sanfran.pal").ok()) {
    state.SkipWithError("the model or its palette did not load");
    return;
  }
  model.ApplyPalette(0);
  model.ReadTextureImages(path);

  std::size_t bytes = 0;
  for (auto _ : state) {
    std::vector<OutputFile> files;
    const BuildResult built = BuildExportFiles(
        model, format, "/nowhere/out" + std::string(ExportExtension(format)), files);
    if (!built.Ok()) {
      state.SkipWithError(built.reason.c_str());
      return;
    }
    bytes = 0;
    for (const OutputFile& file : files) bytes += file.bytes.size();
    benchmark::DoNotOptimize(files);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

struct ExportCase {
  const char* name;
  bool large;
  ExportFormat format;
};

const ExportCase kCases[] = {
    {"BM_ExportDemoGlb", false, ExportFormat::kGlb},
    {"BM_ExportDemoObj", false, ExportFormat::kObj},
    {"BM_ExportLargestGlb", true, ExportFormat::kGlb},
    {"BM_ExportLargestGltf", true, ExportFormat::kGltf},
    {"BM_ExportLargestObj", true, ExportFormat::kObj},
};

const bool kRegistered = [] {
  for (const ExportCase& c : kCases)
    bench::RegisterTimed(c.name, BuildRepeatedly, c.large, c.format);
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
