// Reading the largest legal model (make_samples --large: 32767 vertices and
// polygons, 255 materials, sub-objects): from disk as the viewer opens it,
// and from memory, which leaves out the file system.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench_support.h"
#include "io/file_bytes.h"
#include "model/model.h"

namespace {

void BM_ReadLargestModel(benchmark::State& state) {
  bench::SampleContent content;
  if (!content.ok()) {
    state.SkipWithError(content.error().c_str());
    return;
  }
  const std::string path = content.LargeModel();
  CModel model;
  for (auto _ : state) {
    if (!model.Read(path).ok()) {
      state.SkipWithError("the model was refused");
      return;
    }
    benchmark::DoNotOptimize(model.Vertices().data());
  }
  std::vector<std::uint8_t> bytes;
  filebytes::ReadFileBytes(path, bytes);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes.size()));
  state.counters["polygons"] = model.PolygonCount();
}
BENCHMARK(BM_ReadLargestModel)->Unit(benchmark::kMillisecond);

void BM_ParseLargestModelInMemory(benchmark::State& state) {
  bench::SampleContent content;
  std::vector<std::uint8_t> bytes;
  if (!content.ok() || !filebytes::ReadFileBytes(content.LargeModel(), bytes)) {
    state.SkipWithError("no large model");
    return;
  }
  CModel model;
  for (auto _ : state) {
    if (!model.ReadFromMemory(bytes.data(), bytes.size()).ok()) {
      state.SkipWithError("the model was refused");
      return;
    }
    benchmark::DoNotOptimize(model.Vertices().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ParseLargestModelInMemory)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
