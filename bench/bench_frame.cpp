// One frame of the largest legal model at 1024 x 768: the document's
// DrawScene and a glFinish, in the headless context, textured and as
// wireframe.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "doc/zorvik_doc.h"
#include "render/headless_gl.h"
#include "render/scene.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

void DrawFrames(benchmark::State& state, bool wireframe) {
  bench::SampleContent content;
  if (!content.ok()) {
    state.SkipWithError(content.error().c_str());
    return;
  }
  HeadlessGlContext context;
  if (!context.Create(kWidth, kHeight)) {
    state.SkipWithError(("no headless OpenGL: " + context.error()).c_str());
    return;
  }
  CZorvikDoc doc;
  doc.SetupScene(kWidth, kHeight);
  if (doc.LoadModel(content.LargeModel(), 0) != 0) {
    state.SkipWithError("the large model did not load");
    return;
  }
  if (wireframe) doc.SetPolygonMode(kPolygonModeLine);
  // A three-quarter view, so that every torus shows faces of both windings.
  doc.m_dRotX = 30.0;
  doc.m_dRotY = 40.0;

  for (auto _ : state) {
    doc.DrawScene();
    glFinish();
  }
  state.counters["polygons"] = doc.m_model.m_nPolygons;
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_FrameLargestModel(benchmark::State& state) { DrawFrames(state, false); }
void BM_FrameLargestModelWireframe(benchmark::State& state) { DrawFrames(state, true); }

BENCHMARK(BM_FrameLargestModel)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FrameLargestModelWireframe)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
