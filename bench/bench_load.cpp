// The open sequence (LoadModel: read, palette, textures, camera fit) of the
// demo aircraft and of the largest legal model.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_support.h"
#include "doc/zorvik_doc.h"
#include "render/headless_gl.h"

namespace {

void LoadRepeatedly(benchmark::State& state, bool large) {
  bench::SampleContent content;
  if (!content.ok()) {
    state.SkipWithError(content.error().c_str());
    return;
  }
  // The texture set-up uploads to the current context.
  HeadlessGlContext context;
  if (!context.Create(16, 16)) {
    state.SkipWithError(("no headless OpenGL: " + context.error()).c_str());
    return;
  }
  const std::string path = large ? content.LargeModel() : content.Biplane();
  CZorvikDoc doc;
  for (auto _ : state) {
    if (!doc.LoadModel(path, 0).Ok()) {
      state.SkipWithError(("cannot load " + path).c_str());
      return;
    }
  }
  state.counters["polygons"] = doc.Model().PolygonCount();
  state.counters["textures"] = doc.Textures().Count();
}

void BM_LoadDemoBiplane(benchmark::State& state) { LoadRepeatedly(state, false); }
void BM_LoadLargestModel(benchmark::State& state) { LoadRepeatedly(state, true); }

BENCHMARK(BM_LoadDemoBiplane)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadLargestModel)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
