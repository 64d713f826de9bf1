// `zorvik check`, run as a model maker runs it, on models the builder makes
// with one fault of each kind.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "lgmd_builder/lgmd_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using lgmd::BuilderPolygon;
using Bytes = std::vector<std::uint8_t>;

const std::string kZorvik = std::string(ZORVIK_BINARY_DIR) + "/zorvik";
constexpr std::uint8_t kColour = 0x40;

RunResult Check(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {kZorvik, "check"};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProgram(argv);
}

BuilderPolygon Face(std::int16_t material, std::uint8_t flags, std::vector<std::int16_t> corners,
                    std::int16_t aux = 0) {
  BuilderPolygon p;
  p.materialId = material;
  p.flags = flags;
  p.auxIdx.assign(corners.size(), aux);
  if (flags == 0 && material != 255) p.texIdx.assign(corners.size(), 0);
  p.vertIdx = std::move(corners);
  return p;
}

// Triangle 0, 1, 2 winds clockwise seen from +z, where normal 0 points: the
// way the format's faces are stored.
lgmd::ModelDesc FaultyModel() {
  lgmd::ModelDesc desc;
  desc.name = "fullname";  // fills the field
  desc.materials = {
      {"wing", 0, 1}, {"gone", 0, 2}, {"paint", 1, 3}, {"spare", 1, 4}, {"sixteen_bytes_16", 1, 5}};
  desc.texCoords = {{0, 0}};
  desc.vertices = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}};
  desc.normals = {{0, 0, 1}};
  desc.objects.resize(4);
  const std::int16_t ranges[3][2] = {{10, 10}, {30, 10}, {35, 10}};
  for (int i = 0; i < 3; ++i) {
    desc.objects[static_cast<std::size_t>(i) + 1].rangeFirst = ranges[i][0];
    desc.objects[static_cast<std::size_t>(i) + 1].rangeLength = ranges[i][1];
  }
  desc.polygons = {Face(1, 0, {0, 1, 2}, 12),      Face(9, kColour, {0, 1, 2}),
                   Face(2, 0, {0, 1, 2}),          Face(3, kColour, {0, 1}),
                   Face(3, kColour, {0, 1, 1, 2}), Face(3, kColour, {0, 2, 1}),
                   Face(3, kColour, {0, 1, 2}, 36)};
  return desc;
}

TEST(CheckCommand, ReportsEveryProblemWithWhereItIs) {
  ScopedTempDir dir;
  const std::string model = dir.File("faulty.bin");
  ASSERT_TRUE(lgmd::WriteFile(model, lgmd::Build(FaultyModel())));
  ASSERT_TRUE(lgmd::WriteFile(dir.File("wing.mip"), lgmd::BuildMip(300, 3, Bytes(900, 1))));

  const RunResult run = Check({"--json", model});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  const Json report = Json::parse(run.out);
  struct Expected {
    const char* level;
    const char* where;
    const char* what;  // a part of the message
  };
  const std::vector<Expected> expected = {
      {"warning", "the model", "fills all 8 bytes"},
      {"warning", "material 4 \"sixteen_bytes_16\"", "fills all 16 bytes"},
      {"warning", "material 0 \"wing\"", "300 x 3 pixels, larger than 256"},
      {"warning", "material 0 \"wing\"", "not a power of two"},
      {"error", "material 1 \"gone\"", "gone.mip cannot be read: not found"},
      {"warning", "material 3 \"spare\"", "no polygon uses it"},
      {"warning", "material 4 \"sixteen_bytes_16\"", "no polygon uses it"},
      {"error", "polygon 1", "material id 9 matches no colour material"},
      {"warning", "polygon 3", "2 corners"},
      {"warning", "polygon 4", "a vertex comes more than once"},
      {"warning", "polygon 5", "against its winding"},
      {"error", "sub-objects 1 and 2", "30..39 and 35..44 overlap"},
      {"error", "polygon 6", "lies in the range 30..39 of sub-object 1, but it is not placed"},
  };
  const Json& problems = report["problems"];
  ASSERT_EQ(problems.size(), expected.size()) << report.dump(1);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(problems[i]["level"], expected[i].level) << i;
    EXPECT_EQ(problems[i]["where"], expected[i].where) << i;
    EXPECT_NE(problems[i]["what"].get<std::string>().find(expected[i].what), std::string::npos)
        << problems[i].dump();
  }
  EXPECT_EQ(report["errors"], 4);
  EXPECT_EQ(report["warnings"], 9);
}

// The demo without one of its textures is in error; with it there, nothing
// is wrong. Warnings alone pass, a file that is no model fails, and one run
// goes through all.
TEST(CheckCommand, ExitStatusFollowsTheErrorsOfAllFiles) {
  ScopedTempDir dir;
  for (const auto& entry :
       fs::directory_iterator(std::string(ZORVIK_SOURCE_DIR) + "/samples/demo")) {
    if (entry.path().filename() == "pilot.mip") continue;
    fs::copy_file(entry.path(), dir.path() / entry.path().filename());
  }
  const std::string demo = dir.File("biplane.bin");
  RunResult run = Check({demo});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, demo +
                         ": error: material 8 \"pilot\": texture pilot.mip cannot be read: "
                         "not found\n" +
                         demo + ": 1 error, 0 warnings\n");

  ASSERT_TRUE(lgmd::WriteFile(dir.File("pilot.mip"), lgmd::BuildMip(8, 8, Bytes(64, 3))));
  run = Check({demo});
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_EQ(run.out, demo + ": no problems\n");

  lgmd::ModelDesc unused = FaultyModel();
  unused.polygons = {Face(3, kColour, {0, 1, 2})};
  unused.objects.clear();
  unused.materials = {{"paint", 1, 3}, {"spare", 1, 4}};
  unused.name = "ok";
  ASSERT_TRUE(lgmd::WriteFile(dir.File("unused.bin"), lgmd::Build(unused)));
  run = Check({dir.File("unused.bin")});
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.out.find("0 errors, 1 warning\n"), std::string::npos) << run.out;

  ASSERT_TRUE(lgmd::WriteFile(dir.File("short.bin"), Bytes{'L', 'G', 'M', 'D', 2, 0}));
  run = Check({"--json", demo, dir.File("short.bin"), dir.File("unused.bin")});
  EXPECT_EQ(run.exitCode, 1);
  std::istringstream lines(run.out);
  std::vector<Json> reports;
  for (std::string line; std::getline(lines, line);) reports.push_back(Json::parse(line));
  ASSERT_EQ(reports.size(), 3u) << run.out;
  EXPECT_EQ(reports[0]["errors"], 0);
  EXPECT_EQ(reports[1]["problems"][0]["where"], "offset 6");
  EXPECT_NE(reports[1]["problems"][0]["what"].get<std::string>().find("header"), std::string::npos);
  EXPECT_EQ(reports[2]["warnings"], 1);
}

}  // namespace
