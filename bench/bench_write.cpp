// Writing the largest legal model (make_samples --large) into memory, the
// counterpart of bench_read's parse from memory: the goal is that writing
// takes no more than twice as long as reading.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench_support.h"
#include "io/file_bytes.h"
#include "model/lgmd_writer.h"
#include "model/model.h"

namespace {

void BM_WriteLargestModelInMemory(benchmark::State& state) {
  bench::SampleContent content;
  std::vector<std::uint8_t> file;
  CModel model;
  if (!content.ok() || !filebytes::ReadFileBytes(content.LargeModel(), file) ||
      !model.ReadFromMemory(file.data(), file.size()).ok()) {
    state.SkipWithError("no large model");
    return;
  }
  std::vector<std::uint8_t> bytes;
  for (auto _ : state) {
    if (!WriteLgmd(model, bytes).ok()) {
      state.SkipWithError("the model was refused");
      return;
    }
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes.size()));
  state.counters["polygons"] = model.PolygonCount();
}
BENCHMARK(BM_WriteLargestModelInMemory)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
