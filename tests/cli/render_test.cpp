// `zorvik render` run as a user runs it: builder-made models and textures in
// a temporary folder, the palettes the build put beside the program, and
// the pixels of the PNG it writes.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/render_options.h"
#include "lgmd_builder/lgmd_builder.h"
#include "support/picture.h"
#include "support/pixel_assert.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::string kProgram = std::string(ZORVIK_BINARY_DIR) + "/zorvik";

struct Image : Picture {
  Rgb At(int x, int y) const {
    const std::size_t at = (static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)) * 3;
    return {rgb[at], rgb[at + 1], rgb[at + 2]};
  }
  Rgb Centre() const { return At(width / 2, height / 2); }
};

Image LoadPng(const std::string& path) { return Image{LoadPicture(path)}; }

// Red, green, blue of each entry of the palette file beside the program,
// read as the program reads it: three words, then triples.
std::vector<Rgb> LoadPaletteBesideProgram(const std::string& name) {
  std::ifstream in(std::string(ZORVIK_BINARY_DIR) + "/" + name);
  std::string word;
  in >> word >> word >> word;
  std::vector<Rgb> entries;
  Rgb rgb{};
  while (entries.size() < 256 && in >> rgb[0] >> rgb[1] >> rgb[2]) entries.push_back(rgb);
  return entries;
}

// The lit colour of a surface facing the eye: ambient 0.2 + 0.6 and diffuse
// 0.3 times the cosine to the light along (1, 1, 1).
Rgb LitFacingEye(const Rgb& colour) {
  const double factor = 0.8 + 0.3 / std::sqrt(3.0);
  Rgb out{};
  for (int i = 0; i < 3; ++i) out[i] = static_cast<int>(std::lround(colour[i] * factor));
  return out;
}

constexpr std::uint8_t kColourFlag = 0x40;
constexpr std::int16_t kNoMaterial = 255;

// A 2 x 2 square in the z = 0 plane facing the eye. Clockwise on screen is
// the side that is drawn; counter-clockwise is culled.
void AddSquare(lgmd::ModelDesc& desc, float cx, float cy, std::int16_t materialId,
               std::uint8_t flags, bool clockwise = true) {
  const auto base = static_cast<std::int16_t>(desc.vertices.size());
  desc.vertices.push_back({cx - 1, cy - 1, 0});
  desc.vertices.push_back({cx - 1, cy + 1, 0});
  desc.vertices.push_back({cx + 1, cy + 1, 0});
  desc.vertices.push_back({cx + 1, cy - 1, 0});
  if (desc.normals.empty()) desc.normals.push_back({0, 0, 1});
  if (desc.texCoords.empty()) desc.texCoords = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  lgmd::BuilderPolygon polygon;
  polygon.materialId = materialId;
  polygon.flags = flags;
  polygon.normalIndex = 0;
  if (clockwise) {
    polygon.vertIdx = {base, static_cast<std::int16_t>(base + 1),
                       static_cast<std::int16_t>(base + 2), static_cast<std::int16_t>(base + 3)};
    polygon.texIdx = {0, 1, 2, 3};
  } else {
    polygon.vertIdx = {base, static_cast<std::int16_t>(base + 3),
                       static_cast<std::int16_t>(base + 2), static_cast<std::int16_t>(base + 1)};
    polygon.texIdx = {0, 3, 2, 1};
  }
  const bool textured = materialId != kNoMaterial && (flags & kColourFlag) == 0;
  if (!textured) polygon.texIdx.clear();
  desc.polygons.push_back(polygon);
}

class RenderCommandTest : public ::testing::Test {
 protected:
  std::string WriteModel(const lgmd::ModelDesc& desc, const std::string& name = "model.bin") {
    const std::string path = m_dir.File(name);
    EXPECT_TRUE(lgmd::WriteFile(path, lgmd::Build(desc)));
    return path;
  }

  RunResult Render(const std::string& model, std::vector<std::string> options = {}) {
    std::vector<std::string> argv = {kProgram, "render", model, Out(), "--size", "48x48"};
    argv.insert(argv.end(), options.begin(), options.end());
    return RunProgram(argv);
  }

  std::string Out() const { return m_dir.File("out.png"); }

  ScopedTempDir m_dir;
};

TEST_F(RenderCommandTest, ColourSquareIsLitOverTheBackground) {
  lgmd::ModelDesc desc;
  // Files hold colours blue first; the San Francisco palette swaps them
  // back, so this material shows red.
  desc.materials.push_back({"paint", 1, 3, 255, 0, 0});
  AddSquare(desc, 0, 0, 3, kColourFlag);
  const RunResult run = Render(WriteModel(desc), {"--background", "0.2,0.4,0.6"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");

  const Image image = LoadPng(Out());
  ASSERT_EQ(image.width, 48);
  ASSERT_EQ(image.height, 48);
  EXPECT_EQ(image.channels, 3) << "an 8-bit RGB PNG";
  EXPECT_TRUE(Near(image.Centre(), LitFacingEye({255, 0, 0})));
  EXPECT_TRUE(Near(image.At(0, 0), {51, 102, 153}, 1));
  EXPECT_TRUE(Near(image.At(47, 47), {51, 102, 153}, 1));
}

TEST_F(RenderCommandTest, TexturedSquareShowsPaletteColoursAndHoles) {
  const std::vector<Rgb> palette = LoadPaletteBesideProgram("sanfran.pal");
  ASSERT_EQ(palette.size(), 256u);
  // Row 0 (bottom of the square) indices 40, 70; row 1: 100, 0.
  const std::vector<std::uint8_t> indices = {40, 70, 100, 0};
  struct Case {
    std::string material;
    bool hole;  // index 0 leaves a hole only in a "t_" texture
  };
  for (const Case& c : {Case{"checker", false}, Case{"t_glass", true}}) {
    SCOPED_TRACE(c.material);
    lgmd::ModelDesc desc;
    desc.materials.push_back({c.material, 0, 5, 1, 0, 0});
    AddSquare(desc, 0, 0, 5, 0);
    ASSERT_TRUE(lgmd::WriteFile(m_dir.File(c.material + ".mip"), lgmd::BuildMip(2, 2, indices)));
    const RunResult run = Render(WriteModel(desc), {"--background", "0,0,1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const Image image = LoadPng(Out());
    ASSERT_EQ(image.width, 48);
    const int lo = 24 - 6;
    const int hi = 24 + 5;
    EXPECT_TRUE(Near(image.At(lo, hi), LitFacingEye(palette[40]))) << "lower left";
    EXPECT_TRUE(Near(image.At(hi, hi), LitFacingEye(palette[70]))) << "lower right";
    EXPECT_TRUE(Near(image.At(lo, lo), LitFacingEye(palette[100]))) << "upper left";
    const Rgb expected = c.hole ? Rgb{0, 0, 255} : LitFacingEye(palette[0]);
    EXPECT_TRUE(Near(image.At(hi, lo), expected)) << "upper right";
  }
}

TEST_F(RenderCommandTest, FrontFacesAreCulledAndWireframeIsWhite) {
  lgmd::ModelDesc desc;
  desc.materials.push_back({"paint", 1, 3, 0, 255, 0});
  AddSquare(desc, -1.5f, 0, 3, kColourFlag, /*clockwise=*/false);
  AddSquare(desc, 1.5f, 0, 3, kColourFlag, /*clockwise=*/true);
  const std::string model = WriteModel(desc);

  RunResult run = Render(model);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  Image image = LoadPng(Out());
  ASSERT_EQ(image.width, 48);
  EXPECT_TRUE(Near(image.At(12, 24), {0, 0, 0}, 0)) << "counter-clockwise square drawn";
  EXPECT_TRUE(Near(image.At(36, 24), LitFacingEye({0, 255, 0})));

  run = Render(model, {"--wireframe"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  image = LoadPng(Out());
  ASSERT_EQ(image.width, 48);
  int outline = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const Rgb p = image.At(x, y);
      if (p == Rgb{0, 0, 0}) continue;
      ++outline;
      ASSERT_TRUE(Near(p, LitFacingEye({255, 255, 255}))) << x << "," << y;
    }
  }
  EXPECT_GT(outline, 20);
  EXPECT_TRUE(Near(image.At(36, 24), {0, 0, 0}, 0)) << "wireframe leaves the inside empty";
}

// A square standing on the X axis at x = 3, facing +X: Z 90 then X 90 brings
// it onto the Z axis, facing the eye in the middle of the picture.
TEST_F(RenderCommandTest, RotationAndDistanceApplyAfterTheFit) {
  lgmd::ModelDesc desc;
  desc.materials.push_back({"paint", 1, 3, 255, 0, 0});
  desc.vertices = {{3, 1, 1}, {3, 1, -1}, {3, -1, -1}, {3, -1, 1}};
  desc.normals = {{1, 0, 0}};
  lgmd::BuilderPolygon polygon;
  polygon.materialId = 3;
  polygon.flags = kColourFlag;
  polygon.vertIdx = {0, 1, 2, 3};
  desc.polygons.push_back(polygon);
  const std::string model = WriteModel(desc);

  RunResult run = Render(model, {"--distance", "10"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Near(LoadPng(Out()).Centre(), {0, 0, 0}, 0)) << "unturned it is edge-on";

  run = Render(model, {"--rot", "90,0,90", "--distance", "10"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Near(LoadPng(Out()).Centre(), LitFacingEye({255, 0, 0})));

  // Panned right by the square's width and more, the middle is empty again.
  run = Render(model, {"--rot=90,0,90", "--distance=10", "--pan=3,0"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Near(LoadPng(Out()).Centre(), {0, 0, 0}, 0));
}

TEST_F(RenderCommandTest, MissingTextureIsReportedButNotFatal) {
  lgmd::ModelDesc desc;
  desc.materials.push_back({"nowhere.tex", 0, 5, 1, 0, 0});
  AddSquare(desc, 0, 0, 5, 0);
  const RunResult run = Render(WriteModel(desc));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.err.find("Missing Textures:"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("nowhere.mip"), std::string::npos) << run.err;
  EXPECT_EQ(LoadPng(Out()).width, 48);
}

TEST_F(RenderCommandTest, UnreadableInputFailsWithoutWritingAPicture) {
  lgmd::ModelDesc desc;
  desc.materials.push_back({"paint", 1, 3, 255, 0, 0});
  AddSquare(desc, 0, 0, 3, kColourFlag);
  std::vector<std::uint8_t> notLgmd = lgmd::Build(desc);
  notLgmd[3] = 'X';
  ASSERT_TRUE(lgmd::WriteFile(m_dir.File("bad.bin"), notLgmd));

  struct Case {
    std::string name;
    std::string model;
    std::string message;
  };
  const Case cases[] = {
      {"missing file", m_dir.File("absent.bin"), "Error Loading Model"},
      {"wrong magic", m_dir.File("bad.bin"), "Error Loading Model"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RunResult run = Render(c.model);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Out()));
  }
}

// Without palettes beside it, the program cannot convert the model.
TEST_F(RenderCommandTest, MissingPaletteFails) {
  const fs::path lonely = m_dir.path() / "bin";
  fs::create_directory(lonely);
  fs::copy_file(kProgram, lonely / "zorvik");
  fs::copy_file(std::string(ZORVIK_BINARY_DIR) + "/zorvik-render.so", lonely / "zorvik-render.so");
  lgmd::ModelDesc desc;
  AddSquare(desc, 0, 0, kNoMaterial, 0);
  const RunResult run =
      RunProgram({(lonely / "zorvik").string(), "render", WriteModel(desc), Out()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Error Loading Palette"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Out()));
}

TEST_F(RenderCommandTest, FailedWriteLeavesNothingBehind) {
  lgmd::ModelDesc desc;
  AddSquare(desc, 0, 0, kNoMaterial, 0);
  const std::string model = WriteModel(desc);
  // The target is a folder: the picture cannot take its place.
  fs::create_directory(Out());
  RunResult run = Render(model);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "zorvik: Error opening " + Out() + " for writing: Is a directory\n");
  EXPECT_TRUE(fs::is_directory(Out()));
  for (const auto& entry : fs::directory_iterator(m_dir.path())) {
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
  }

  run = RunProgram({kProgram, "render", model, m_dir.File("no/such/folder/out.png")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "zorvik: Error opening " + m_dir.File("no/such/folder/out.png") +
                         " for writing: No such file or directory\n");
}

TEST_F(RenderCommandTest, ReplacesAnExistingPicture) {
  lgmd::ModelDesc desc;
  AddSquare(desc, 0, 0, kNoMaterial, 0);
  ASSERT_TRUE(lgmd::WriteFile(Out(), std::vector<std::uint8_t>(10, 'x')));
  const RunResult run = Render(WriteModel(desc));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Image image = LoadPng(Out());
  EXPECT_EQ(image.width, 48);
  // No material: the San Francisco default colour is white.
  EXPECT_TRUE(Near(image.Centre(), LitFacingEye({255, 255, 255})));
}

TEST_F(RenderCommandTest, BadOptionValuesAreUsageErrors) {
  lgmd::ModelDesc desc;
  AddSquare(desc, 0, 0, kNoMaterial, 0);
  const std::string model = WriteModel(desc);
  const std::vector<std::vector<std::string>> cases = {
      {"--size", "0x10"},      {"--size", "10"},     {"--size", "10x-4"},
      {"--size", "9000x10"},   {"--size", "10x10x"}, {"--rot", "1,2"},
      {"--rot", "1,2,z"},      {"--rot", "1,2,3,4"}, {"--distance", "far"},
      {"--distance", "nan"},   {"--pan", "1"},       {"--background", "2,0,0"},
      {"--background", "0,0"}, {"--palette", "1.5"}, {"--palette", "one"},
  };
  for (const auto& options : cases) {
    SCOPED_TRACE(options[0] + " " + options[1]);
    std::vector<std::string> argv = {kProgram, "render", model, Out()};
    argv.insert(argv.end(), options.begin(), options.end());
    const RunResult run = RunProgram(argv);
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_FALSE(run.err.empty());
    EXPECT_FALSE(fs::exists(Out()));
  }
}

TEST(RenderOptions, DefaultsAndAcceptedValues) {
  RenderArguments args;
  args.paths = {"m.bin", "o.png"};
  RenderOptions options;
  std::string error;
  ASSERT_TRUE(ParseRenderOptions(args, options, error)) << error;
  ASSERT_EQ(options.jobs.size(), 1u);
  EXPECT_EQ(options.jobs[0].outputPath, "o.png");
  EXPECT_EQ(options.width, 800);
  EXPECT_EQ(options.height, 600);
  EXPECT_EQ(options.palette, 0);
  EXPECT_FALSE(options.rotation || options.distance || options.pan);
  EXPECT_EQ(options.background[0] + options.background[1] + options.background[2], 0.0);

  args.size = "1024X768";
  args.palette = "1";
  args.rotation = "-90,0.5,1e1";
  args.distance = "0";
  args.pan = "-1.5,2";
  args.background = "1,0.5,0";
  ASSERT_TRUE(ParseRenderOptions(args, options, error)) << error;
  EXPECT_EQ(options.width, 1024);
  EXPECT_EQ(options.height, 768);
  EXPECT_EQ(options.palette, 1);
  ASSERT_TRUE(options.rotation && options.distance && options.pan);
  EXPECT_EQ(*options.rotation, (std::array<double, 3>{-90.0, 0.5, 10.0}));
  EXPECT_EQ(*options.distance, 0.0);
  EXPECT_EQ(*options.pan, (std::array<double, 2>{-1.5, 2.0}));
  EXPECT_EQ(options.background[1], 0.5);
}

}  // namespace
