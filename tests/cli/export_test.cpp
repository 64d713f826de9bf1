// `zorvik export`, run as a user runs it; its files are read back by an
// independent program (assimp) as well as byte by byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "convert/cob_export.h"
#include "lgmd_builder/lgmd_builder.h"
#include "model/model.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::string kZorvik = std::string(ZORVIK_BINARY_DIR) + "/zorvik";

RunResult Export(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {kZorvik, "export"};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProgram(argv);
}

lgmd::BuilderPolygon Face(std::vector<std::int16_t> corners, std::int16_t aux = 0) {
  lgmd::BuilderPolygon polygon;
  polygon.auxIdx.assign(corners.size(), aux);
  polygon.vertIdx = std::move(corners);
  return polygon;
}

// A triangle, a quad and a pentagon; the quad belongs to a sub-object
// standing 10 units along x, so its placed positions differ from the stored
// ones.
lgmd::ModelDesc MixedModel() {
  lgmd::ModelDesc desc;
  desc.name = "mixed";
  desc.vertices = {{0, 0, 0}, {1, 0, 0},  {0, 1, 0},     {0, 0, 0},  {2, 0, 0},  {2, 3, 0},
                   {0, 3, 0}, {-1, 0, 5}, {-2, 0, 5.5f}, {-2, 1, 6}, {-1, 2, 6}, {0, 1, 4}};
  desc.normals = {{0, 0, 1}};
  desc.polygons = {Face({0, 1, 2}, 50), Face({3, 4, 5, 6}, 0), Face({7, 8, 9, 10, 11}, 50)};
  lgmd::BuilderObject root;
  lgmd::BuilderObject sub;
  sub.matrix = {1, 0, 0, 0, 1, 0, 0, 0, 1, 10, 0, 0};
  sub.rangeFirst = 0;
  sub.rangeLength = 10;
  desc.objects = {root, sub};
  return desc;
}

std::string WriteModel(const ScopedTempDir& dir, const std::string& name,
                       const lgmd::ModelDesc& desc) {
  const std::string path = dir.File(name);
  EXPECT_TRUE(lgmd::WriteFile(path, lgmd::Build(desc)));
  return path;
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST(ExportCommand, WritesTheModelAsReadAndReplacesAnOlderFile) {
  ScopedTempDir dir;
  const std::string model = WriteModel(dir, "mixed.bin", MixedModel());
  const std::string out = dir.File("mixed.cob");
  std::ofstream(out) << "an older export, longer than nothing at all";

  const RunResult run = Export({model, out});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");

  CModel expected;
  ASSERT_TRUE(expected.Read(model).ok());
  EXPECT_EQ(Bytes(ReadWholeFile(out)), cob::BuildCobFile(expected));
  // The placed quad: stored at x 0..2, exported at x 10..12.
  EXPECT_EQ(expected.Vertices()[4].x, 12.0f);
}

TEST(ExportCommand, FailuresExitWithAMessageAndKeepTheOldFile) {
  ScopedTempDir dir;
  const std::string model = WriteModel(dir, "mixed.bin", MixedModel());
  const std::string notModel = dir.File("notes.bin");
  std::ofstream(notModel) << "LGMX is not a model";
  const std::string plainFile = dir.File("plain");
  std::ofstream(plainFile) << "x";
  const std::string out = dir.File("kept.cob");
  // The format follows the extension, so the folder in the way has one.
  const std::string folder = dir.File("folder.cob");
  fs::create_directory(folder);
  const std::string kOld = "an older export that must stay";

  struct Case {
    std::string name;
    std::vector<std::string> args;
    std::string message;
    std::string checkedOut;  // a file whose old content must survive
  };
  const std::vector<Case> cases = {
      {"missing model",
       {dir.File("absent.bin"), out},
       "zorvik: cannot read model " + dir.File("absent.bin") + ": No such file or directory\n",
       out},
      {"not a model",
       {notModel, out},
       "zorvik: cannot read model " + notModel +
           ": not an LGMD model (it does not start with \"LGMD\")\n",
       out},
      {"output under a file",
       {model, plainFile + "/x.cob"},
       "zorvik: Error opening " + plainFile + "/x.cob for writing: Not a directory\n",
       out},
      {"output is a directory",
       {model, folder},
       "zorvik: Error opening " + folder + " for writing: Is a directory\n",
       out},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(c.checkedOut, std::ios::trunc) << kOld;
    const RunResult run = Export(c.args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, c.message);
    EXPECT_EQ(ReadWholeFile(c.checkedOut), kOld);
  }
  EXPECT_EQ(ReadWholeFile(plainFile), "x");
  EXPECT_FALSE(fs::exists(dir.File("absent.bin")));
}

TEST(ExportCommand, WrongArgumentsAreUsageErrors) {
  ScopedTempDir dir;
  const std::string model = WriteModel(dir, "mixed.bin", MixedModel());
  const std::vector<std::vector<std::string>> argLists = {
      {}, {model}, {model, dir.File("a.cob"), dir.File("b.cob")}, {"--bogus", model, "x.cob"}};
  for (const auto& args : argLists) {
    SCOPED_TRACE(testing::PrintToString(args));
    const RunResult run = Export(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err, "");
  }
  EXPECT_FALSE(fs::exists(dir.File("a.cob")));
  EXPECT_FALSE(fs::exists(dir.File("b.cob")));
}

// --- Read back by assimp -------------------------------------------------------

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const fs::path candidate = fs::path(dir) / program;
    if (fs::exists(candidate)) return candidate.string();
  }
  return {};
}

struct AssimpStats {
  long vertices = -1;
  long faces = -1;
  std::array<double, 3> min{};
  std::array<double, 3> max{};
};

// The summary `assimp info` prints; -1 counts when a line is missing.
AssimpStats ParseAssimpInfo(const std::string& text) {
  AssimpStats stats;
  std::smatch m;
  if (std::regex_search(text, m, std::regex(R"(\nVertices:\s+(\d+))")))
    stats.vertices = std::stol(m[1]);
  if (std::regex_search(text, m, std::regex(R"(\nFaces:\s+(\d+))"))) stats.faces = std::stol(m[1]);
  const std::string number = R"((-?[0-9.eE+-]+))";
  const std::regex point(number + R"(\s+)" + number + R"(\s+)" + number);
  for (auto [label, target] :
       {std::pair{"Minimum point", &stats.min}, {"Maximum point", &stats.max}}) {
    const auto at = text.find(label);
    if (at == std::string::npos) continue;
    const std::string rest = text.substr(at);
    if (std::regex_search(rest, m, point)) {
      for (int i = 0; i < 3; ++i) (*target)[i] = std::stod(m[i + 1]);
    }
  }
  return stats;
}

TEST(ExportCommand, AssimpReadsTheCountsAndTheBoundingBox) {
  const std::string assimp = FindOnPath("assimp");
  ASSERT_FALSE(assimp.empty()) << "assimp (package assimp-utils) is needed to check exported files";

  ScopedTempDir dir;
  const lgmd::ModelDesc desc = MixedModel();
  const std::string model = WriteModel(dir, "mixed.bin", desc);
  const std::string out = dir.File("mixed.cob");
  const RunResult run = Export({model, out});
  ASSERT_EQ(run.exitCode, 0) << run.err;

  CModel read;
  ASSERT_TRUE(read.Read(model).ok());
  long corners = 0;
  long triangles = 0;
  for (const Polygon& p : read.Polygons()) {
    corners += p.nVerts;
    triangles += p.nVerts - 2;
  }
  std::array<double, 3> min = {1e9, 1e9, 1e9}, max = {-1e9, -1e9, -1e9};
  for (const Vertex& v : read.Vertices()) {
    const double xyz[3] = {v.x, v.y, v.z};
    for (int i = 0; i < 3; ++i) {
      min[i] = std::min(min[i], xyz[i]);
      max[i] = std::max(max[i], xyz[i]);
    }
  }

  // As imported: one vertex per corner, the faces as written.
  const RunResult raw = RunProgram({assimp, "info", out, "--raw"});
  ASSERT_EQ(raw.exitCode, 0) << raw.out << raw.err;
  const AssimpStats rawStats = ParseAssimpInfo(raw.out);
  EXPECT_EQ(rawStats.vertices, corners) << raw.out;
  EXPECT_EQ(rawStats.faces, static_cast<long>(read.Polygons().size())) << raw.out;

  // After assimp's usual clean-up: shared positions joined into the model's
  // own vertices, faces cut into triangles.
  const RunResult cooked = RunProgram({assimp, "info", out});
  ASSERT_EQ(cooked.exitCode, 0) << cooked.out << cooked.err;
  const AssimpStats stats = ParseAssimpInfo(cooked.out);
  EXPECT_EQ(stats.vertices, static_cast<long>(read.Vertices().size())) << cooked.out;
  EXPECT_EQ(stats.faces, triangles) << cooked.out;
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(stats.min[i], min[i], 1e-5) << cooked.out;
    EXPECT_NEAR(stats.max[i], max[i], 1e-5) << cooked.out;
  }
  // The placed quad reaches x = 12, beyond every stored coordinate.
  EXPECT_NEAR(stats.max[0], 12.0, 1e-5);
}

}  // namespace
