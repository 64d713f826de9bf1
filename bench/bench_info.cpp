// `zorvik info --json` over 1,000 copies of the demo aircraft: the whole
// batch in one process, against the same models one process each.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "support/run_program.h"

namespace {

constexpr int kModels = 1000;

const std::string kZorvik = std::string(ZORVIK_BINARY_DIR) + "/zorvik";

// Copies of the demo in a folder of the content's own.
std::vector<std::string> DemoCopies(const bench::SampleContent& content) {
  const std::filesystem::path dir = std::filesystem::path(content.Biplane()).parent_path() / "many";
  std::filesystem::create_directories(dir);
  std::vector<std::string> paths;
  for (int i = 0; i < kModels; ++i) {
    const std::filesystem::path path = dir / ("m" + std::to_string(i) + ".bin");
    std::filesystem::copy_file(content.Biplane(), path,
                               std::filesystem::copy_options::overwrite_existing);
    paths.push_back(path.string());
  }
  return paths;
}

void BM_InfoBatch1000Demos(benchmark::State& state) {
  bench::SampleContent content;
  if (!content.ok()) {
    state.SkipWithError(content.error().c_str());
    return;
  }
  std::vector<std::string> argv = {kZorvik, "info", "--json"};
  for (const std::string& path : DemoCopies(content)) argv.push_back(path);
  for (auto _ : state) {
    const RunResult run = RunProgram(argv);
    if (run.exitCode != 0) {
      state.SkipWithError(("zorvik info failed: " + run.err).c_str());
      return;
    }
  }
  state.counters["models"] = kModels;
}

void BM_Info1000DemosOneProcessEach(benchmark::State& state) {
  bench::SampleContent content;
  if (!content.ok()) {
    state.SkipWithError(content.error().c_str());
    return;
  }
  const std::vector<std::string> paths = DemoCopies(content);
  for (auto _ : state) {
    for (const std::string& path : paths) {
      if (RunProgram({kZorvik, "info", "--json", path}).exitCode != 0) {
        state.SkipWithError("zorvik info failed");
        return;
      }
    }
  }
  state.counters["models"] = kModels;
}

BENCHMARK(BM_InfoBatch1000Demos)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Info1000DemosOneProcessEach)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
