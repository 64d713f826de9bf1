// `zorvik export` to glTF and OBJ, run as a user runs it; the files are
// judged by independent programs: the Khronos glTF validator and assimp.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "support/export_examples.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::string kZorvik = std::string(ZORVIK_BINARY_DIR) + "/zorvik";
const std::string kDemo = std::string(ZORVIK_SOURCE_DIR) + "/samples/demo/biplane.bin";
const std::string kValidator = std::string(ZORVIK_SOURCE_DIR) + "/tests/js/validate.js";
// Tools found on PATH, as a user would run them.
const std::string kEnv = "/usr/bin/env";

RunResult Export(std::vector<std::string> args) {
  args.insert(args.begin(), {kZorvik, "export"});
  return RunProgram(args);
}

long Count(const std::string& text, const std::string& label) {
  std::smatch m;
  if (!std::regex_search(text, m, std::regex(label + R"(:\s+(\d+))"))) return -1;
  return std::stol(m[1]);
}

TEST(ExportFormats, KhronosValidatorFindsNoError) {
  ASSERT_TRUE(fs::exists(fs::path(kValidator).parent_path() / "node_modules/gltf-validator"))
      << "scripts/install-deps.sh installs the validator";
  ScopedTempDir dir;
  const std::string example = lgmd::WriteExportExample(dir.path().string(), "sampler");
  std::vector<std::string> outputs;
  for (const auto& [model, name] : {std::pair{kDemo, "biplane"}, {example, "sampler"}}) {
    for (const std::string ext : {".glb", ".gltf"}) {
      const std::string out = dir.File(std::string(name) + ext);
      const RunResult run = Export({model, out});
      ASSERT_EQ(run.exitCode, 0) << run.err;
      outputs.push_back(out);
    }
  }
  std::vector<std::string> argv = {kEnv, "node", kValidator};
  argv.insert(argv.end(), outputs.begin(), outputs.end());
  const RunResult report = RunProgram(argv);
  EXPECT_EQ(report.exitCode, 0) << report.out << report.err;
  for (const std::string& out : outputs) {
    EXPECT_NE(report.out.find(out + " errors=0 "), std::string::npos) << report.out;
  }
}

// assimp adds a default material of its own to what it reads.
TEST(ExportFormats, AssimpReadsTrianglesAndMaterialsBack) {
  ScopedTempDir dir;
  const std::string model = lgmd::WriteExportExample(dir.path().string(), "sampler");
  for (const std::string ext : {".glb", ".gltf", ".obj", ".OBJ"}) {
    SCOPED_TRACE(ext);
    const std::string out = dir.File("sampler" + ext);
    ASSERT_EQ(Export({model, out}).exitCode, 0);
    const RunResult info = RunProgram({kEnv, "assimp", "info", out, "--raw"});
    ASSERT_EQ(info.exitCode, 0) << info.out << info.err;
    EXPECT_EQ(Count(info.out, "Faces"), lgmd::kExampleTriangles) << info.out;
    EXPECT_EQ(Count(info.out, "Materials"), lgmd::kExampleMaterials + 1) << info.out;
  }
}

TEST(ExportFormats, MissingTexturesAreListedAsTheViewerListsThem) {
  ScopedTempDir dir;
  const std::string model = lgmd::WriteExportExample(dir.path().string(), "sampler");
  const RunResult run = Export({model, dir.File("s.glb"), "--palette", "1"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "zorvik: Missing Textures:\n\nlost.mip\n");
}

TEST(ExportFormats, BadRequestsFailClearlyAndLeaveNoFiles) {
  ScopedTempDir dir;
  const std::string model = lgmd::WriteExportExample(dir.path().string(), "sampler");
  // A folder where the geometry file would go: the textures written before
  // it are taken back, and no main file appears.
  fs::create_directory(dir.File("blocked_geometry.bin"));
  const std::string selfNamed = dir.File("self.obj");
  fs::copy_file(model, selfNamed);

  struct Case {
    std::string name;
    std::vector<std::string> args;
    int exitCode;
    std::string errPart;
  };
  const std::vector<Case> cases = {
      {"unknown extension", {model, dir.File("a.fbx")}, 2, ".cob, .glb, .gltf, .obj or .bin"},
      {"no extension", {model, dir.File("a")}, 2, "OUT must end in"},
      {"batch without folder", {"--format", "glb", model}, 2, "--format and --out-dir"},
      {"unknown batch format",
       {"--format", "fbx", "--out-dir", dir.File("o"), model},
       2,
       "--format"},
      {"palette not a number", {model, dir.File("a.glb"), "--palette", "x"}, 2, ""},
      {"blocked file", {model, dir.File("blocked.gltf")}, 1, "blocked_geometry.bin"},
      {"output is the model", {selfNamed, selfNamed}, 1, "it is the model being exported"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RunResult run = Export(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    EXPECT_NE(run.err.find(c.errPart), std::string::npos) << run.err;
  }
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    left.push_back(entry.path().filename().string());
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"blocked_geometry.bin", "sampler.bin", "self.obj",
                                            "skin.mip", "t_glass.mip"}));
  EXPECT_EQ(ReadWholeFile(selfNamed), ReadWholeFile(model));
}

TEST(ExportFormats, BatchConvertsEveryModelItCanRead) {
  ScopedTempDir dir;
  const std::string first = lgmd::WriteExportExample(dir.path().string(), "one");
  const std::string second = lgmd::WriteExportExample(dir.path().string(), "two");
  const std::string broken = dir.File("broken.bin");
  std::ofstream(broken) << "not a model";
  const std::string outDir = dir.File("converted");

  const RunResult run = Export({"--format", "GLB", "--out-dir", outDir, first, broken, second});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("cannot read model " + broken), std::string::npos) << run.err;
  EXPECT_TRUE(fs::exists(outDir + "/one.glb"));
  EXPECT_TRUE(fs::exists(outDir + "/two.glb"));
  EXPECT_FALSE(fs::exists(outDir + "/broken.glb"));

  const RunResult clean = Export({"--format", "obj", "--out-dir", outDir, first});
  EXPECT_EQ(clean.exitCode, 0) << clean.err;
  EXPECT_TRUE(fs::exists(outDir + "/one.obj"));
  EXPECT_TRUE(fs::exists(outDir + "/one.mtl"));
}

}  // namespace
