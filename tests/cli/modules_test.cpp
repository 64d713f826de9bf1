// The headless commands pay only for what they use: the toolkit and OpenGL
// live in modules that only the window and `render` load.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lgmd_builder/lgmd_builder.h"
#include "support/lgmd_examples.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

const std::string kZorvik = std::string(ZORVIK_BINARY_DIR) + "/zorvik";

// The shared libraries the dynamic linker started for the command.
std::string LoadedLibraries(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"/usr/bin/env", "LD_DEBUG=libs", kZorvik};
  argv.insert(argv.end(), args.begin(), args.end());
  const RunResult run = RunProgram(argv);
  EXPECT_EQ(run.exitCode, 0) << run.err.substr(run.err.size() > 2000 ? run.err.size() - 2000 : 0);
  std::string loaded;
  std::size_t start = 0;
  while (start < run.err.size()) {
    std::size_t end = run.err.find('\n', start);
    if (end == std::string::npos) end = run.err.size();
    const std::string line = run.err.substr(start, end - start);
    if (line.find("calling init:") != std::string::npos) loaded += line + "\n";
    start = end + 1;
  }
  return loaded;
}

bool Mentions(const std::string& loaded, const std::string& library) {
  return loaded.find(library) != std::string::npos;
}

TEST(Modules, EachCommandLoadsOnlyWhatItNeeds) {
#ifdef ZORVIK_SANITIZED
  GTEST_SKIP() << "the checking runtime changes what is loaded";
#endif
  ScopedTempDir dir;
  const std::string model = dir.File("tri.bin");
  ASSERT_TRUE(lgmd::WriteFile(model, lgmd::Build(lgmd::TriangleModel())));
  struct Case {
    std::vector<std::string> args;
    bool gl;  // OpenGL and EGL, for `render` only
  };
  const Case cases[] = {
      {{"--version"}, false},
      {{"info", model, "--json"}, false},
      {{"export", model, dir.File("tri.cob")}, false},
      {{"render", model, dir.File("tri.png"), "--size", "32x32"}, true},
  };
  for (const Case& c : cases) {
    const std::string loaded = LoadedLibraries(c.args);
    SCOPED_TRACE(c.args[0] + "\n" + loaded);
    ASSERT_TRUE(Mentions(loaded, "libstdc++")) << "the linker's report was not read";
    EXPECT_FALSE(Mentions(loaded, "libwx_")) << "the toolkit";
    EXPECT_FALSE(Mentions(loaded, "libgtk")) << "the toolkit";
    EXPECT_FALSE(Mentions(loaded, "zorvik-viewer")) << "the window";
    EXPECT_EQ(Mentions(loaded, "libGL.so") || Mentions(loaded, "libOpenGL"), c.gl);
    EXPECT_EQ(Mentions(loaded, "libEGL"), c.gl);
  }
}

}  // namespace
