// `zorvik import` over Debian's assimp-testmodels, run as a user runs it.
// What came in is judged against the import library's own conversion
// (`assimp export` to OBJ, which bakes every node's transform) and, for
// the round trip, against the picture of the model that went out.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "io/png_image.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::string kZorvik = std::string(ZORVIK_BINARY_DIR) + "/zorvik";
const std::string kDemo = std::string(ZORVIK_SOURCE_DIR) + "/samples/demo/biplane.bin";
const std::string kModels = "/usr/share/assimp/models/";

// Extents and triangle count of the vertices and faces of an OBJ file.
struct ObjStats {
  std::array<double, 6> box{1e30, 1e30, 1e30, -1e30, -1e30, -1e30};
  long triangles = 0;
};

ObjStats ReadObj(const std::string& path) {
  ObjStats stats;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string tag;
    words >> tag;
    if (tag == "v") {
      for (int k = 0; k < 3; ++k) {
        double value = 0;
        words >> value;
        stats.box[k] = std::min(stats.box[k], value);
        stats.box[k + 3] = std::max(stats.box[k + 3], value);
      }
    } else if (tag == "f") {
      long corners = 0;
      for (std::string corner; words >> corner;) ++corners;
      stats.triangles += corners - 2;
    }
  }
  return stats;
}

RunResult Zorvik(std::vector<std::string> args) {
  args.insert(args.begin(), kZorvik);
  return RunProgram(args);
}

struct Case {
  const char* file;
  double unit;          // metres per unit of the file where assimp leaves it alone
  int degenerate;       // faces without area in the file, which the import drops
  int subObjects;       // nodes that keep their own frame
  const char* texture;  // the .mip written beside the model, or ""
};

// glTF in both forms, OBJ, FBX in centimetres, Collada, 3DS, PLY, STL,
// OFF; textured and not; node trees deep and wide.
const Case kCases[] = {
    {"glTF2/BoxTextured-glTF/BoxTextured.gltf", 1.0, 0, 1, "Texture.mip"},
    {"glTF2/BoxTextured-glTF-Binary/BoxTextured.glb", 1.0, 0, 1, "Texture.mip"},
    {"OBJ/box.obj", 1.0, 0, 0, ""},
    {"FBX/cubes_with_names.fbx", 0.01, 0, 4, ""},
    {"Collada/teapot_instancenodes.DAE", 1.0, 64, 2, ""},
    {"Collada/duck.dae", 1.0, 0, 1, "blinn3.mip"},
    {"3DS/cubes_with_alpha.3DS", 1.0, 0, 5, ""},
    {"PLY/cube.ply", 1.0, 0, 0, ""},
    {"STL/Spider_ascii.stl", 1.0, 56, 0, ""},
    {"OFF/Wuson.off", 1.0, 0, 0, ""},
};

TEST(Import, ModelsComeInWhereTheImportLibraryPutsThem) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    ScopedTempDir dir;
    const std::string in = kModels + c.file;
    const RunResult import = Zorvik({"import", in, dir.File("m.bin")});
    ASSERT_EQ(import.exitCode, 0) << import.err;
    ASSERT_EQ(Zorvik({"export", dir.File("m.bin"), dir.File("m.obj")}).exitCode, 0);
    ASSERT_EQ(RunProgram({"/usr/bin/env", "assimp", "export", in, dir.File("ref.obj")}).exitCode,
              0);
    const ObjStats ours = ReadObj(dir.File("m.obj"));
    const ObjStats theirs = ReadObj(dir.File("ref.obj"));
    EXPECT_EQ(ours.triangles, theirs.triangles - c.degenerate);
    double size = 0.0;
    for (int k = 0; k < 3; ++k) size = std::max(size, theirs.box[k + 3] - theirs.box[k]);
    for (int k = 0; k < 6; ++k)
      EXPECT_NEAR(ours.box[k], theirs.box[k] * c.unit, 1e-4 * size * c.unit) << k;
    const RunResult info = Zorvik({"info", dir.File("m.bin")});
    EXPECT_NE(info.out.find("Sub-objects: " + std::to_string(c.subObjects) + "\n"),
              std::string::npos)
        << info.out;
    if (*c.texture != '\0') {
      EXPECT_TRUE(fs::exists(dir.File(c.texture)));
    }
    // What the viewer shows needs nothing but the model and its textures.
    EXPECT_EQ(Zorvik({"check", dir.File("m.bin")}).exitCode, 0);
  }
}

// Quads stay quads where they are flat; the format holds them.
TEST(Import, FlatQuadsStayQuads) {
  ScopedTempDir dir;
  ASSERT_EQ(Zorvik({"import", kModels + "OBJ/box.obj", dir.File("box.bin")}).exitCode, 0);
  EXPECT_NE(Zorvik({"info", dir.File("box.bin")}).out.find("Polygons: 6\n"), std::string::npos);
}

TEST(Import, BrokenFilesAreRefusedWithTheReasonAndNothingWritten) {
  ScopedTempDir dir;
  const std::string text = dir.File("notes.txt");
  std::ofstream(text) << "not a model\n";
  const std::string fifo = dir.File("pipe.obj");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string in;
    const char* reason;
  } cases[] = {
      {kModels + "invalid/OutOfMemory.off", "2 GiB"},
      {kModels + "invalid/empty.obj", "too small"},
      {kModels + "invalid/malformed.obj", "Invalid face index"},
      {kModels + "invalid/empty.ply", "is empty"},
      {kModels + "glTF2/IndexOutOfRange/AllIndicesOutOfRange.gltf", "no faces"},
      {text, "No suitable reader"},
      {fifo, "not a regular file"},
      {dir.File("missing.obj"), "No such file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    const auto start = std::chrono::steady_clock::now();
    const RunResult run = Zorvik({"import", c.in, dir.File("out.bin")});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind("zorvik: cannot import " + c.in + ": ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(dir.File("out.bin")));
  }
}

// The engine has 84,657 vertices once each node's copy of its meshes is
// counted.
TEST(Import, LargeModelIsRefusedThenSimplifiedWithinLimitsAndExtents) {
  ScopedTempDir dir;
  const std::string in = kModels + "glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb";
  const RunResult refused = Zorvik({"import", in, dir.File("e.bin")});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find(": has 84,657 vertices; an LGMD model holds at most 32767"),
            std::string::npos)
      << refused.err;
  EXPECT_FALSE(fs::exists(dir.File("e.bin")));

  const RunResult simplified = Zorvik({"import", in, dir.File("e.bin"), "--simplify"});
  ASSERT_EQ(simplified.exitCode, 0) << simplified.err;
  ASSERT_EQ(Zorvik({"export", dir.File("e.bin"), dir.File("e.obj")}).exitCode, 0);
  ASSERT_EQ(RunProgram({"/usr/bin/env", "assimp", "export", in, dir.File("ref.obj")}).exitCode, 0);
  const std::string info = Zorvik({"info", "--json", dir.File("e.bin")}).out;
  const auto count = [&info](const std::string& key) {
    return std::atol(info.c_str() + info.find("\"" + key + "\":") + key.size() + 3);
  };
  EXPECT_LE(count("vertices"), 32767);
  EXPECT_LE(count("polygons"), 32767);
  EXPECT_GT(count("polygons"), 20000);  // reduced to fit, not to nothing
  const ObjStats ours = ReadObj(dir.File("e.obj"));
  const ObjStats theirs = ReadObj(dir.File("ref.obj"));
  for (int k = 0; k < 6; ++k)
    EXPECT_NEAR(ours.box[k], theirs.box[k], 0.01 * std::abs(theirs.box[k]) + 1e-3) << k;
}

// The demo exported and imported again draws as the demo does.
TEST(Import, ExportedModelComesBackAsTheSamePicture) {
  ScopedTempDir dir;
  const auto render = [&](const std::string& model, const std::string& png) {
    EXPECT_EQ(Zorvik({"render", model, png, "--size", "160x120", "--rot", "20,30,0"}).exitCode, 0);
    const std::string file = ReadWholeFile(png);
    const std::vector<std::uint8_t> bytes(file.begin(), file.end());
    std::vector<std::uint8_t> rgba;
    int width = 0, height = 0;
    std::string reason;
    EXPECT_TRUE(DecodePngRgba(bytes, 1024, rgba, width, height, reason)) << reason;
    return rgba;
  };
  const std::vector<std::uint8_t> demo = render(kDemo, dir.File("demo.png"));
  for (const std::string format : {"glb", "obj"}) {
    SCOPED_TRACE(format);
    const std::string out = dir.File("plane." + format);
    ASSERT_EQ(Zorvik({"export", kDemo, out}).exitCode, 0);
    const RunResult import = Zorvik({"import", out, dir.File(format + ".bin")});
    ASSERT_EQ(import.exitCode, 0) << import.err;
    const std::vector<std::uint8_t> back =
        render(dir.File(format + ".bin"), dir.File(format + ".png"));
    ASSERT_EQ(back.size(), demo.size());
    int differing = 0, drawn = 0;
    for (std::size_t i = 0; i < demo.size(); i += 4) {
      int worst = 0;
      for (std::size_t k = 0; k < 3; ++k)
        worst = std::max(worst, std::abs(demo[i + k] - back[i + k]));
      differing += worst > 24 ? 1 : 0;
      drawn += demo[i] + demo[i + 1] + demo[i + 2] > 0 ? 1 : 0;
    }
    EXPECT_GT(drawn, 1000);
    EXPECT_LE(differing, 20) << "of " << drawn << " pixels of the plane";
  }
}

}  // namespace
