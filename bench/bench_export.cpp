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

void BM_ExportDemoGlb(benchmark::State& s) { BuildRepeatedly(s, false, ExportFormat::kGlb); }
void BM_ExportDemoObj(benchmark::State& s) { BuildRepeatedly(s, false, ExportFormat::kObj); }
void BM_ExportLargestGlb(benchmark::State& s) { BuildRepeatedly(s, true, ExportFormat::kGlb); }
void BM_ExportLargestGltf(benchmark::State& s) { BuildRepeatedly(s, true, ExportFormat::kGltf); }
void BM_ExportLargestObj(benchmark::State& s) { BuildRepeatedly(s, true, ExportFormat::kObj); }

BENCHMARK(BM_ExportDemoGlb)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportDemoObj)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportLargestGlb)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportLargestGltf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportLargestObj)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
