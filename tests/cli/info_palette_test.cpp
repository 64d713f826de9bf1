// `zorvik info --palette N`, run as a user runs it: the palette comes from
// the program's own directory, so each test runs a link of the program
// placed beside palettes the test wrote.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <system_error>
#include <vector>

#include "lgmd_builder/lgmd_builder.h"
#include "model/model.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::string kZorvik = std::string(ZORVIK_BINARY_DIR) + "/zorvik";

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out);
}

// The program as if installed in dir. A hard link keeps /proc/self/exe
// pointing into dir; a copy does the same where links are refused.
std::string InstallProgram(const ScopedTempDir& dir) {
  const std::string target = dir.File("zorvik");
  std::error_code ec;
  fs::create_hard_link(kZorvik, target, ec);
  if (ec) fs::copy_file(kZorvik, target, ec);
  return ec ? std::string() : target;
}

float Unit(int byte) { return static_cast<float>(byte * kByteToUnit); }

class InfoPalette : public ::testing::Test {
 protected:
  void SetUp() override {
    program = InstallProgram(programDir);
    ASSERT_FALSE(program.empty());
    // San Francisco: only its size matters to these tests, its colours are
    // never matched. Seattle: two entries near the model's colours.
    std::string sanfran = "JASC-PAL 0100 256\n";
    std::string seattle = "JASC-PAL 0100 256\n";
    for (int i = 0; i < 256; ++i) {
      sanfran += std::to_string(i) + " 0 0\n";
      seattle += i == 3 ? "52 98 205\n" : i == 4 ? "9 28 63\n" : "0 0 0\n";
    }
    ASSERT_TRUE(WriteText(programDir.File("sanfran.pal"), sanfran));
    ASSERT_TRUE(WriteText(programDir.File("seattle.pal"), seattle));

    lgmd::ModelDesc desc;
    desc.name = "kite";
    // name, kind, id, blue (texture number when textured), green, red
    desc.materials = {{"paint", 1, 1, 50, 100, 200}, {"t_glass", 0, 2, 7, 30, 60},
                      {"Wing.bmp", 0, 3, 8, 0, 0},   {"sub/evil", 0, 4, 9, 0, 0},
                      {"gone", 0, 5, 10, 0, 0},      {"flat", 0, 6, 11, 0, 0}};
    modelPath = modelDir.File("kite.bin");
    ASSERT_TRUE(lgmd::WriteFile(modelPath, lgmd::Build(desc)));
    ASSERT_TRUE(lgmd::WriteFile(modelDir.File("t_glass.mip"),
                                lgmd::BuildMip(4, 2, {0, 1, 2, 3, 4, 5, 6, 7})));
    // Found only by ignoring case.
    ASSERT_TRUE(lgmd::WriteFile(modelDir.File("WING.MIP"),
                                lgmd::BuildMip(3, 5, std::vector<std::uint8_t>(15, 1))));
    // A file exists where the separator name leads, yet it must not be read.
    fs::create_directory(modelDir.File("sub"));
    ASSERT_TRUE(lgmd::WriteFile(modelDir.File("sub/evil.mip"), lgmd::BuildMip(1, 1, {1})));
    ASSERT_TRUE(lgmd::WriteFile(modelDir.File("flat.mip"), lgmd::BuildMip(0, 9, {})));
  }

  RunResult Info(const std::string& palette) const {
    return RunProgram({program, "info", modelPath, "--json", "--palette", palette});
  }

  static std::vector<float> Color(const nlohmann::json& material) {
    std::vector<float> rgba;
    for (const auto& c : material.at("color")) rgba.push_back(c.get<float>());
    return rgba;
  }

  ScopedTempDir programDir;
  ScopedTempDir modelDir;
  std::string program;
  std::string modelPath;
};

TEST_F(InfoPalette, ReportsTexturesAndMissingFiles) {
  const RunResult run = Info("0");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto json = nlohmann::json::parse(run.out);

  const auto& textures = json.at("textures");
  ASSERT_EQ(textures.size(), 5u);
  const struct {
    int number;
    bool transparent;
    int width;
    int height;
  } expected[] = {
      {7, true, 4, 2}, {8, false, 3, 5}, {-1, false, 0, 0}, {-1, false, 0, 0}, {-1, false, 0, 0}};
  for (std::size_t k = 0; k < 5; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(textures[k].at("number"), expected[k].number);
    EXPECT_EQ(textures[k].at("transparent"), expected[k].transparent);
    EXPECT_EQ(textures[k].at("width"), expected[k].width);
    EXPECT_EQ(textures[k].at("height"), expected[k].height);
  }
  // An empty image is no texture.
  EXPECT_EQ(json.at("missingTextures"), nlohmann::json({"sub/evil.mip", "gone.mip", "flat.mip"}));
  EXPECT_FALSE(textures[0].contains("missingReason"));
  EXPECT_EQ(textures[3].at("missingReason"), "not found");
  EXPECT_EQ(textures[4].at("missingReason"), "an empty image (0 x 9 pixels)");

  const auto& materials = json.at("materialList");
  ASSERT_EQ(materials.size(), 6u);
  const int texIndex[] = {-1, 0, 1, 2, 3, 4};
  for (std::size_t m = 0; m < 6; ++m) EXPECT_EQ(materials[m].at("texIndex"), texIndex[m]) << m;
}

TEST_F(InfoPalette, EachRegionConvertsTheColours) {
  struct Case {
    const char* palette;
    float defaultColor;
    std::vector<float> paint;  // red, green, blue, alpha
    std::vector<float> glass;
  };
  const std::vector<Case> cases = {
      // Region 0 exchanges red and blue and paints material-less polygons white.
      {"0", 1.0f, {Unit(50), Unit(100), Unit(200), 1.0f}, {Unit(7), Unit(30), Unit(60), 0.0f}},
      // Region 1 snaps every colour to the nearest entry, compared blue first.
      {"1", 0.0f, {Unit(205), Unit(98), Unit(52), 1.0f}, {Unit(63), Unit(28), Unit(9), 0.0f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.palette);
    const RunResult run = Info(c.palette);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json.at("defaultColor"),
              nlohmann::json({c.defaultColor, c.defaultColor, c.defaultColor}));
    EXPECT_EQ(Color(json.at("materialList")[0]), c.paint);
    EXPECT_EQ(Color(json.at("materialList")[1]), c.glass);
  }
}

TEST_F(InfoPalette, MissingPaletteFileFailsTheCommand) {
  // Only region 1 reads "seattle.pal": without it region 1 fails, region 0
  // still works, and without either both fail.
  fs::remove(programDir.File("seattle.pal"));
  EXPECT_EQ(Info("0").exitCode, 0);
  RunResult run = Info("1");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "zorvik: Error Loading Palette\n" + programDir.File("seattle.pal") +
                         ": No such file or directory\n");
  EXPECT_EQ(run.out, "");

  fs::remove(programDir.File("sanfran.pal"));
  run = Info("0");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "zorvik: Error Loading Palette\n" + programDir.File("sanfran.pal") +
                         ": No such file or directory\n");
}

}  // namespace
