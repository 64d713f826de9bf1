// Output the user cannot see is a failure: every command checks its writes
// to standard output, the final flush and the close, and exits 1 with a
// message when one fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "lgmd_builder/lgmd_builder.h"
#include "support/lgmd_examples.h"
#include "support/run_program.h"
#include "support/small_fs.h"
#include "support/temp_dir.h"

namespace {

const std::string kZorvik = ZORVIK_BINARY_DIR "/zorvik";
constexpr const char* kLost = "zorvik: cannot write to standard output";

// The program with its standard output sent to target.
RunResult RunInto(const std::string& target, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"/bin/sh", "-c", "exec \"$0\" \"$@\" > " + target, kZorvik};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProgram(argv);
}

TEST(StandardOutput, EveryCommandFailsWhenItsOutputIsLost) {
  ScopedTempDir dir;
  const std::string model = dir.File("m.bin");
  ASSERT_TRUE(lgmd::WriteFile(model, lgmd::Build(lgmd::TriangleModel())));
  const std::vector<std::vector<std::string>> cases = {
      {"--version"},
      {"--help"},
      {"info", model},
      {"info", model, "--json", "--full"},
      {"info", model, model, "--json"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args.back());
    const RunResult seen = RunInto("/dev/null", args);
    EXPECT_EQ(seen.exitCode, 0) << seen.err;
    EXPECT_EQ(seen.err, "");
    const RunResult lost = RunInto("/dev/full", args);
    EXPECT_EQ(lost.exitCode, 1);
    EXPECT_EQ(lost.err.rfind(kLost, 0), 0u) << lost.err;
  }
}

// A disk that fills up half-way through a long JSON object.
TEST(StandardOutput, AFullDiskMidJsonFails) {
  ScopedTempDir dir;
  SmallFileSystem disk(dir.path() / "disk", "64k");
  if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small file system here";
  lgmd::ModelDesc desc = lgmd::TriangleModel();
  for (int i = 0; i < 4000; ++i) desc.vertices.push_back({1.0f * i, 0.5f * i, 0.25f * i});
  const std::string model = dir.File("big.bin");
  ASSERT_TRUE(lgmd::WriteFile(model, lgmd::Build(desc)));
  const std::string out = (dir.path() / "disk" / "out.json").string();

  const RunResult run = RunInto(out, {"info", model, "--json", "--full"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find(kLost), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
}

}  // namespace
