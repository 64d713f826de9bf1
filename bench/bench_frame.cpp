// One frame at 1024 x 768 in the headless context: the document's
// DrawScene and a glFinish, for the demo aircraft and the largest legal
// model, textured and as wireframe. The document replays its recording of
// the draw; the Immediate cases send every call again, as each frame did
// before the recording, for comparison.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "doc/zorvik_doc.h"
#include "render/frame_memory.h"
#include "render/headless_gl.h"
#include "render/scene.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

enum class Path { kRecorded, kImmediate };

void DrawFrames(benchmark::State& state, bool large, bool wireframe, Path path) {
  bench::SampleContent content;
  if (!content.ok()) {
    state.SkipWithError(content.error().c_str());
    return;
  }
  // As the window does: the frames reuse the driver's freed memory.
  render::KeepFreedMemoryForFrames();
  HeadlessGlContext context;
  if (!context.Create(kWidth, kHeight)) {
    state.SkipWithError(("no headless OpenGL: " + context.error()).c_str());
    return;
  }
  CZorvikDoc doc;
  doc.SetupScene(kWidth, kHeight);
  if (!doc.LoadModel(large ? content.LargeModel() : content.Biplane(), 0).Ok()) {
    state.SkipWithError("the model did not load");
    return;
  }
  if (wireframe) doc.SetPolygonMode(kPolygonModeLine);
  // A three-quarter view, so that every torus shows faces of both windings.
  scene::Camera camera = doc.Camera();
  camera.dRotX = 30.0;
  camera.dRotY = 40.0;
  doc.SetCamera(camera);

  const auto frame = [&] {
    if (path == Path::kRecorded) {
      doc.DrawScene();
    } else {
      scene::DrawScene(doc.Camera(), doc.Model(), doc.Textures(), doc.PolygonMode());
    }
    glFinish();
  };
  // The steady frame is timed: the first one records the draw, and the
  // driver compiles its shaders for the scene's states.
  frame();
  for (auto _ : state) frame();
  state.counters["polygons"] = doc.Model().PolygonCount();
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

struct FrameCase {
  const char* name;
  bool large;
  bool wireframe;
  Path path;
};

const FrameCase kCases[] = {
    {"BM_FrameLargestModel", true, false, Path::kRecorded},
    {"BM_FrameLargestModelWireframe", true, true, Path::kRecorded},
    {"BM_FrameDemo", false, false, Path::kRecorded},
    {"BM_FrameDemoWireframe", false, true, Path::kRecorded},
    {"BM_FrameLargestModelImmediate", true, false, Path::kImmediate},
    {"BM_FrameLargestModelWireframeImmediate", true, true, Path::kImmediate},
    {"BM_FrameDemoImmediate", false, false, Path::kImmediate},
};

const bool kRegistered = [] {
  for (const FrameCase& c : kCases) {
    bench::RegisterTimed(c.name, DrawFrames, c.large, c.wireframe, c.path);
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
