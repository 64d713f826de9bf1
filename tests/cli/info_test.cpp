// `zorvik info` is run as the real program on builder-made files.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <nlohmann/json.hpp>

#include "lgmd_builder/lgmd_builder.h"
#include "support/lgmd_examples.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

using Json = nlohmann::json;
using lgmd::BuilderMaterial;
using lgmd::BuilderObject;
using lgmd::BuilderPolygon;
using lgmd::ModelDesc;

const std::string kZorvik = ZORVIK_BINARY_DIR "/zorvik";

class InfoCommand : public ::testing::Test {
 protected:
  std::string Write(const ModelDesc& desc, const std::string& name = "model.bin") {
    const std::string path = m_dir.File(name);
    EXPECT_TRUE(lgmd::WriteFile(path, lgmd::Build(desc)));
    return path;
  }

  // Runs `zorvik info PATH --json --full` and parses its output.
  Json InfoJson(const std::string& path, std::vector<std::string> extra = {"--full"}) {
    std::vector<std::string> argv = {kZorvik, "info", path, "--json"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    const RunResult run = RunProgram(argv);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    Json json = Json::parse(run.out, nullptr, false);
    EXPECT_FALSE(json.is_discarded()) << run.out;
    return json;
  }

  static std::vector<float> Floats(const Json& list) {
    std::vector<float> values;
    for (const Json& v : list) values.push_back(v.get<float>());
    return values;
  }

  ScopedTempDir m_dir;
};

TEST_F(InfoCommand, TriangleExampleInFull) {
  const Json j = InfoJson(Write(lgmd::TriangleModel()));
  const std::vector<std::string> keys = {
      "name",         "version",       "polygons",   "vertices",    "materials",
      "subObjects",   "texCoords",     "normals",    "bboxMin",     "bboxMax",
      "materialList", "subObjectList", "vertexList", "polygonList", "texCoordList"};
  ASSERT_EQ(j.size(), keys.size());
  for (const std::string& key : keys) EXPECT_TRUE(j.contains(key)) << key;

  EXPECT_EQ(j["name"], "tri");
  EXPECT_EQ(j["version"], 2);
  EXPECT_EQ(j["polygons"], 1);
  EXPECT_EQ(j["vertices"], 3);
  EXPECT_EQ(j["materials"], 1);
  EXPECT_EQ(j["subObjects"], 0);
  EXPECT_EQ(j["texCoords"], 3);
  EXPECT_EQ(j["normals"], 1);
  EXPECT_EQ(Floats(j["bboxMin"]), (std::vector<float>{0, 0, 0}));
  EXPECT_EQ(Floats(j["bboxMax"]), (std::vector<float>{1, 1, 0}));

  const Json& wall = j["materialList"][0];
  EXPECT_EQ(wall["name"], "wall");
  EXPECT_EQ(wall["kind"], 0);
  EXPECT_EQ(wall["id"], 7);
  EXPECT_EQ(wall["texNumber"], 12);
  EXPECT_EQ(wall["texIndex"], -1);
  // The colour is the float the reader computed, to the last bit.
  EXPECT_EQ(wall["color"][2].get<double>(),
            static_cast<double>(static_cast<float>(12 * 0.00392156862745098)));
  EXPECT_EQ(Floats(wall["color"]),
            (std::vector<float>{0, 0, static_cast<float>(12 * 0.00392156862745098), 1}));
  EXPECT_TRUE(j["subObjectList"].empty());

  const Json& p = j["polygonList"][0];
  EXPECT_EQ(p["vertIdx"], Json({0, 1, 2}));
  EXPECT_EQ(p["texIdx"], Json({0, 1, 2}));
  EXPECT_EQ(p["auxIdx"], Json({0, 0, 0}));
  EXPECT_EQ(p["materialId"], 7);
  EXPECT_EQ(p["flags"], 0);
  EXPECT_EQ(p["material"], 0);
  EXPECT_EQ(Floats(p["normal"]), (std::vector<float>{0, 0, 1}));
  for (const Json& v : j["vertexList"]) {
    EXPECT_EQ(Floats(v["normal"]), (std::vector<float>{0, 0, 1}));
    EXPECT_EQ(v["count"], 0);
  }
  EXPECT_EQ(Floats(j["vertexList"][1]["pos"]), (std::vector<float>{1, 0, 0}));
  EXPECT_EQ(j["texCoordList"][2], Json({0.0, 1.0}));
}

TEST_F(InfoCommand, WithoutFullOnlyTheSummaryKeys) {
  const Json j = InfoJson(Write(lgmd::TriangleModel()), {});
  EXPECT_EQ(j.size(), 12u);
  EXPECT_FALSE(j.contains("vertexList"));

  const RunResult text = RunProgram({kZorvik, "info", Write(lgmd::TriangleModel())});
  EXPECT_EQ(text.exitCode, 0);
  for (const char* line : {"Name: tri", "Version: 2", "Polygons: 1", "Vertices: 3", "Materials: 1",
                           "Bounding box: (0, 0, 0) - (1, 1, 0)"}) {
    EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
  }
}

TEST_F(InfoCommand, ReportsPlacedPositions) {
  // Root, then two sub-objects with ranges 0..9 and 10..19. Sub-object 0
  // turns a quarter about z and shifts 10 along x; sub-object 1 is its
  // child and shifts 100 along y.
  ModelDesc desc;
  desc.name = "placed";
  desc.objects = {BuilderObject{}, BuilderObject{}, BuilderObject{}};
  desc.objects[1].matrix = {0, 1, 0, -1, 0, 0, 0, 0, 1, 10, 0, 0};
  desc.objects[1].rangeLength = 10;
  desc.objects[1].childLink = 2;
  desc.objects[2].matrix = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 100, 0};
  desc.objects[2].rangeFirst = 10;
  desc.objects[2].rangeLength = 10;
  desc.vertices = {{1, 2, 3}, {4, 4, 4}, {5, 5, 5}, {6, 6, 6}, {1, 2, 3}};
  desc.normals = {{0, 0, 1}};
  auto poly = [](std::vector<std::int16_t> v, std::int16_t aux) {
    BuilderPolygon p;
    p.vertIdx = v;
    p.auxIdx.assign(v.size(), aux);
    return p;
  };
  // First indices 0, 5, 12, 10: 12 is tested against 0..9 and stays put.
  // Vertex 0 is shared by the first two polygons and moves once.
  desc.polygons = {poly({0, 1}, 0), poly({0, 1}, 5), poly({2}, 12), poly({3, 4}, 10)};
  const Json j = InfoJson(Write(desc));

  EXPECT_EQ(j["subObjects"], 2);
  EXPECT_EQ(j["subObjectList"][0]["parent"], -1);
  EXPECT_EQ(j["subObjectList"][1]["parent"], 0);
  EXPECT_EQ(j["subObjectList"][1]["first"], 10);
  EXPECT_EQ(j["subObjectList"][1]["last"], 19);
  EXPECT_EQ(j["subObjectList"][0]["matrix"].size(), 12u);

  const Json& v = j["vertexList"];
  EXPECT_EQ(Floats(v[0]["pos"]), (std::vector<float>{8, 1, 3})) << "quarter turn, once";
  EXPECT_EQ(Floats(v[1]["pos"]), (std::vector<float>{6, 4, 4}));
  EXPECT_EQ(Floats(v[2]["pos"]), (std::vector<float>{5, 5, 5})) << "not in range";
  EXPECT_EQ(v[2]["count"], 0);
  EXPECT_EQ(Floats(v[3]["pos"]), (std::vector<float>{-96, 6, 6})) << "chain: child, then parent";
  EXPECT_EQ(Floats(v[4]["pos"]), (std::vector<float>{-92, 1, 3}));
  EXPECT_EQ(v[4]["count"], 1);
  // The box is that of the stored positions.
  EXPECT_EQ(Floats(j["bboxMax"]), (std::vector<float>{6, 6, 6}));
}

TEST_F(InfoCommand, MaterialMatchingAndVersions) {
  struct Case {
    int version;
    int firstTexNumber, thirdTexNumber;  // material 1 is a colour material
  };
  for (const Case& c : {Case{3, 0, 2}, Case{4, 30, 40}, Case{2, 30, 40}}) {
    ModelDesc desc = lgmd::TriangleModel();
    desc.version = c.version;
    desc.materials = {
        {"t_glass", 0, 5, 30, 0, 0}, {"red", 1, 5, 40, 0, 200}, {"T_x", 0, 5, 40, 0, 0}};
    desc.polygons[0].materialId = 5;
    BuilderPolygon colour = desc.polygons[0];
    colour.flags = 0x40;
    colour.texIdx.clear();
    BuilderPolygon none = colour;
    none.materialId = 255;
    none.flags = 0;
    desc.polygons = {desc.polygons[0], colour, none};
    const Json j = InfoJson(Write(desc));
    const Json& m = j["materialList"];
    EXPECT_EQ(m[0]["texNumber"], c.firstTexNumber) << c.version;
    EXPECT_EQ(m[2]["texNumber"], c.thirdTexNumber) << c.version;
    EXPECT_EQ(m[1]["texNumber"], 0);
    EXPECT_EQ(m[0]["color"][3], 0.0) << "t_ prefix";
    EXPECT_EQ(m[1]["color"][3], 1.0);
    EXPECT_EQ(m[2]["color"][3], 0.0) << "T_ prefix";
    const Json& p = j["polygonList"];
    EXPECT_EQ(p[0]["material"], 0);
    EXPECT_EQ(p[1]["material"], 1);
    EXPECT_TRUE(p[2]["material"].is_null());
    EXPECT_EQ(p[2]["texIdx"], Json({0, 0, 0}));
  }
}

TEST_F(InfoCommand, NamesAndFloatsAlwaysMakeValidJson) {
  ModelDesc desc = lgmd::TriangleModel();
  desc.name = "a\"\\\x01\xE9";
  desc.materials[0].name = "caf\xE9\xFF";
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  desc.vertices = {{0.1f, nan, -inf}, {1e-45f, 3.4028235e38f, -0.0f}, {0.1f, 0.0f, 0.0f}};
  const Json j = InfoJson(Write(desc));
  EXPECT_EQ(j["name"], "a\"\\\x01\xC3\xA9");
  EXPECT_EQ(j["materialList"][0]["name"], "caf\xC3\xA9\xC3\xBF");
  const Json& pos = j["vertexList"][0]["pos"];
  EXPECT_EQ(pos[0].get<float>(), 0.1f);
  EXPECT_EQ(pos[0].get<double>(), static_cast<double>(0.1f));
  EXPECT_TRUE(pos[1].is_null());
  EXPECT_TRUE(pos[2].is_null());
  const Json& tiny = j["vertexList"][1]["pos"];
  EXPECT_EQ(tiny[0].get<float>(), 1e-45f);
  EXPECT_EQ(tiny[1].get<float>(), 3.4028235e38f);
  EXPECT_TRUE(std::signbit(tiny[2].get<float>()));
  EXPECT_TRUE(j["bboxMin"][2].is_null()) << "-inf reaches the box";
}

TEST_F(InfoCommand, RefusedFilesAndUsageErrors) {
  ModelDesc cycle = lgmd::TriangleModel();
  cycle.objects = {BuilderObject{}, BuilderObject{}, BuilderObject{}};
  cycle.objects[1].childLink = 2;
  cycle.objects[2].childLink = 1;
  ModelDesc badIndex = lgmd::TriangleModel();
  badIndex.polygons[0].vertIdx[0] = 3;
  ModelDesc noRoot = lgmd::TriangleModel();
  noRoot.objectCount = 0;
  const std::string notModel = m_dir.File("text.bin");
  ASSERT_TRUE(lgmd::WriteFile(notModel, {'h', 'e', 'l', 'l', 'o'}));
  // Each refusal names the file and says why, in the reader's words.
  const std::pair<std::string, std::string> refused[] = {
      {Write(cycle, "cycle.bin"), "the parent chain of sub-object 0 loops"},
      {Write(badIndex, "index.bin"), "polygon 0: vertex index 3 is out of range (3 in the file)"},
      {Write(noRoot, "root.bin"), "object count 0 is out of range (a model needs its root object)"},
      {notModel, "not an LGMD model (it does not start with \"LGMD\")"},
      {m_dir.File("missing.bin"), "No such file or directory"},
      {m_dir.path().string(), "is a directory"}};
  for (const auto& [path, reason] : refused) {
    for (bool json : {false, true}) {
      std::vector<std::string> argv = {kZorvik, "info", path};
      if (json) argv.push_back("--json");
      const RunResult run = RunProgram(argv);
      EXPECT_EQ(run.exitCode, 1) << path;
      EXPECT_EQ(run.err, "zorvik: cannot read model " + path + ": " + reason + "\n");
      EXPECT_EQ(run.out, "");
    }
  }

  const std::string good = Write(lgmd::TriangleModel());
  const std::vector<std::vector<std::string>> usage = {
      {kZorvik, "info"},
      {kZorvik, "info", good, "--bogus"},
      {kZorvik, "info", good, "--full"},
      {kZorvik, "info", good, "--json", "--palette", "1.5"},
      {kZorvik, "info", good, "--json", "--palette", "x"},
  };
  for (const auto& argv : usage) {
    const RunResult run = RunProgram(argv);
    EXPECT_EQ(run.exitCode, 2) << argv.back();
    EXPECT_EQ(run.out, "") << argv.back();
  }
}

TEST_F(InfoCommand, PaletteConvertsColoursAndListsTextures) {
  ModelDesc desc = lgmd::TriangleModel();
  desc.materials = {{"wall", 0, 7, 12, 0, 0}, {"t_gone", 0, 8, 13, 0, 0}, {"red", 1, 9, 0, 0, 255}};
  const std::string path = Write(desc);
  ASSERT_TRUE(lgmd::WriteFile(m_dir.File("wall.mip"), lgmd::BuildMip(2, 1, {0, 255})));
  const Json j = InfoJson(path, {"--palette", "0"});
  for (const char* key : {"defaultColor", "textures", "missingTextures"}) {
    EXPECT_TRUE(j.contains(key)) << key;
  }
  const Json& m = j["materialList"];
  EXPECT_EQ(m[0]["texIndex"], 0);
  EXPECT_EQ(m[1]["texIndex"], 1);
  EXPECT_EQ(m[2]["texIndex"], -1);
  ASSERT_EQ(j["textures"].size(), 2u);
  EXPECT_EQ(j["textures"][0]["number"], 12);
  EXPECT_EQ(j["textures"][0]["width"], 2);
  EXPECT_EQ(j["textures"][0]["height"], 1);
  EXPECT_EQ(j["textures"][0]["transparent"], false);
  EXPECT_EQ(j["textures"][1]["number"], -1);
  EXPECT_EQ(j["textures"][1]["transparent"], true);
  EXPECT_EQ(j["missingTextures"], Json({"t_gone.mip"}));
}

TEST_F(InfoCommand, PaletteNumbersOtherThanOneLoadSanFranciscoButSnap) {
  // As with a hand-edited "Region": only 1 names the Seattle file, only 0
  // swaps red and blue and paints unmaterialled polygons white.
  ModelDesc desc = lgmd::TriangleModel();
  desc.materials = {{"red", 1, 9, 0, 0, 255}};
  const std::string path = Write(desc);
  const Json swapped = InfoJson(path, {"--palette", "0"});
  const Json snapped = InfoJson(path, {"--palette", "7"});
  const Json negative = InfoJson(path, {"--palette", "-1"});
  EXPECT_EQ(swapped["defaultColor"], Json({1.0, 1.0, 1.0}));
  EXPECT_EQ(snapped["defaultColor"], Json({0.0, 0.0, 0.0}));
  EXPECT_EQ(negative["materialList"], snapped["materialList"]);
  EXPECT_NE(swapped["materialList"][0]["color"], snapped["materialList"][0]["color"]);
}

TEST_F(InfoCommand, PaletteMissingBesideTheProgram) {
  // A copy of the program in a directory of its own has no palettes.
  const std::string copy = m_dir.File("zorvik");
  std::filesystem::copy_file(kZorvik, copy);
  const std::string path = Write(lgmd::TriangleModel());
  const RunResult run = RunProgram({copy, "info", path, "--json", "--palette", "1"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "zorvik: Error Loading Palette\n" + m_dir.File("seattle.pal") +
                         ": No such file or directory\n");
  EXPECT_EQ(run.out, "");
  // Without a palette the copy reads the model as well as the original.
  EXPECT_EQ(RunProgram({copy, "info", path, "--json"}).exitCode, 0);
}

}  // namespace
