// The batch forms of `zorvik info` and `zorvik render`: several models in
// one process, each described or drawn exactly as on its own, a model that
// cannot be read reported while the rest go on, and exit 1 then.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "lgmd_builder/lgmd_builder.h"
#include "support/lgmd_examples.h"
#include "support/picture.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

const std::string kZorvik = ZORVIK_BINARY_DIR "/zorvik";

std::vector<std::uint8_t> Pixels(const std::string& path) { return LoadPicture(path).rgb; }

// A square facing the eye in one colour (stored blue first, as files do).
lgmd::ModelDesc Square(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  lgmd::ModelDesc desc;
  desc.materials.push_back({"paint", 1, 3, blue, green, red});
  desc.vertices = {{-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {1, -1, 0}};
  desc.normals = {{0, 0, 1}};
  lgmd::BuilderPolygon polygon;
  polygon.materialId = 3;
  polygon.flags = 0x40;
  polygon.vertIdx = {0, 1, 2, 3};
  desc.polygons.push_back(polygon);
  return desc;
}

class BatchTest : public ::testing::Test {
 protected:
  std::string Write(const lgmd::ModelDesc& desc, const std::string& name) {
    const std::string path = m_dir.File(name);
    fs::create_directories(fs::path(path).parent_path());
    EXPECT_TRUE(lgmd::WriteFile(path, lgmd::Build(desc)));
    return path;
  }
  std::string Broken() {
    const std::string path = m_dir.File("broken.bin");
    EXPECT_TRUE(lgmd::WriteFile(path, {'n', 'o', 't', ' ', 'L', 'G', 'M', 'D'}));
    return path;
  }

  ScopedTempDir m_dir;
};

TEST_F(BatchTest, InfoDescribesEachFileAsOnItsOwn) {
  const std::string a = Write(lgmd::TriangleModel(), "a.bin");
  const std::string b = Write(Square(0, 0, 255), "b.bin");
  const std::string broken = Broken();

  const RunResult json = RunProgram({kZorvik, "info", "--json", a, broken, b});
  EXPECT_EQ(json.exitCode, 1);
  EXPECT_NE(json.err.find(broken), std::string::npos) << json.err;
  std::istringstream lines(json.out);
  std::string line;
  std::vector<std::string> files;
  while (std::getline(lines, line)) {
    Json object = Json::parse(line);
    const std::string file = object["file"];
    files.push_back(file);
    object.erase("file");
    const RunResult alone = RunProgram({kZorvik, "info", "--json", file});
    EXPECT_EQ(object, Json::parse(alone.out)) << file;
  }
  EXPECT_EQ(files, (std::vector<std::string>{a, b}));

  const RunResult text = RunProgram({kZorvik, "info", a, b});
  EXPECT_EQ(text.exitCode, 0) << text.err;
  EXPECT_EQ(text.out, "File: " + a + "\n" + RunProgram({kZorvik, "info", a}).out + "\nFile: " + b +
                          "\n" + RunProgram({kZorvik, "info", b}).out);
}

TEST_F(BatchTest, RenderWritesOnePicturePerModelFromOneContext) {
  const std::string red = Write(Square(0, 0, 255), "red.bin");
  const std::string blue = Write(Square(255, 0, 0), "blue.bin");
  const std::string again = Write(Square(0, 255, 0), "sub/red.bin");
  const std::string broken = Broken();
  const std::string out = m_dir.File("pictures");

  const RunResult run = RunProgram(
      {kZorvik, "render", "--size", "32x24", "--out-dir", out, red, broken, blue, again});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find(broken), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("not writing " + out + "/red.png: this run writes it already, for " + red),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(fs::exists(out + "/broken.png"));

  // Each picture is the one the single form draws: nothing of one model's
  // state is left for the next.
  for (const std::string& model : {red, blue}) {
    const std::string alone = m_dir.File("alone.png");
    ASSERT_EQ(RunProgram({kZorvik, "render", "--size", "32x24", model, alone}).exitCode, 0);
    const std::string name = fs::path(model).stem().string();
    const std::vector<std::uint8_t> batch = Pixels(out + "/" + name + ".png");
    ASSERT_FALSE(batch.empty()) << name;
    EXPECT_EQ(batch, Pixels(alone)) << name;
  }
  EXPECT_NE(Pixels(out + "/red.png"), Pixels(out + "/blue.png"));

  const RunResult good = RunProgram({kZorvik, "render", "--out-dir", out, red, blue});
  EXPECT_EQ(good.exitCode, 0) << good.err;
}

TEST_F(BatchTest, FilesThatDoNotFitTheFormAreUsageErrors) {
  const std::string a = Write(lgmd::TriangleModel(), "a.bin");
  const std::vector<std::vector<std::string>> cases = {
      {"render", a},
      {"render", a, m_dir.File("x.png"), m_dir.File("y.png")},
      {"render", "--out-dir", m_dir.File("out")},
      {"info"},
  };
  for (const auto& args : cases) {
    std::vector<std::string> argv = {kZorvik};
    argv.insert(argv.end(), args.begin(), args.end());
    const RunResult run = RunProgram(argv);
    EXPECT_EQ(run.exitCode, 2) << args.size() << " " << run.err;
  }
}

}  // namespace
