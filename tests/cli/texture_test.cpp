// `zorvik texture`, run as a user runs it, with the palettes the program
// ships beside it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "io/png_image.h"
#include "lgmd_builder/lgmd_builder.h"
#include "model/model.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const std::string kZorvik = std::string(ZORVIK_BINARY_DIR) + "/zorvik";

RunResult Texture(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {kZorvik, "texture"};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProgram(argv);
}

std::vector<PaletteEntry> ShippedPalette(const char* file) {
  CModel model;
  const fs::path path = fs::path(ZORVIK_BINARY_DIR) / file;
  EXPECT_TRUE(model.LoadPalette(path.string()).ok());
  return model.Palette();
}

Bytes Rgba(const PaletteEntry& e, std::uint8_t alpha) {
  return {static_cast<std::uint8_t>(e[2]), static_cast<std::uint8_t>(e[1]),
          static_cast<std::uint8_t>(e[0]), alpha};
}

bool WritePng(const std::string& path, const Bytes& rgba, int width, int height) {
  Bytes png;
  return EncodePngRgba(rgba, width, height, png) && lgmd::WriteFile(path, png);
}

Bytes ReadPng(const std::string& path, int& width, int& height) {
  const std::string text = ReadWholeFile(path);
  Bytes rgba;
  std::string reason;
  EXPECT_TRUE(DecodePngRgba(Bytes(text.begin(), text.end()), 1 << 15, rgba, width, height, reason))
      << path << ": " << reason;
  return rgba;
}

// A picture drawn in the palette's own colours comes back from .mip pixel
// for pixel, dithered or not; holes of a see-through texture stay holes.
TEST(TextureCommand, PaletteColouredPictureMakesTheRoundTripExactly) {
  struct Case {
    const char* name;  // "t_" names are see-through
    const char* palette;
    const char* paletteFile;
    bool dither;
  };
  const Case cases[] = {{"wall", "0", "sanfran.pal", false},
                        {"t_glass", "1", "seattle.pal", true},
                        {"Roof", "1", "seattle.pal", true}};
  std::mt19937 rng(7);
  for (const Case& c : cases) {
    const auto palette = ShippedPalette(c.paletteFile);
    const bool seeThrough = std::string(c.name).starts_with("t_");
    constexpr int kWidth = 37, kHeight = 23;
    Bytes picture;
    for (int i = 0; i < kWidth * kHeight; ++i) {
      const int index = std::uniform_int_distribution<int>(0, 255)(rng);
      // Index 0 is the hole of a see-through texture, so only such a
      // texture has it, and there it is clear.
      const bool hole = index == 0;
      const PaletteEntry& e = palette[static_cast<std::size_t>(hole && !seeThrough ? 1 : index)];
      const Bytes px = Rgba(e, hole && seeThrough ? 0 : 255);
      picture.insert(picture.end(), px.begin(), px.end());
    }
    ScopedTempDir dir;
    const std::string in = dir.File(std::string(c.name) + ".png");
    const std::string mip = dir.File(std::string(c.name) + ".mip");
    const std::string out = dir.File(std::string(c.name) + "_back.png");
    ASSERT_TRUE(WritePng(in, picture, kWidth, kHeight));
    std::vector<std::string> args = {in, mip, "--palette", c.palette};
    if (c.dither) args.push_back("--dither");
    RunResult run = Texture(args);
    ASSERT_EQ(run.exitCode, 0) << c.name << ": " << run.err;
    // The way back is named after the material too, so that its holes show.
    const std::string back = dir.File(std::string(c.name) + "2.mip");
    fs::copy_file(mip, back);
    run = Texture({back, out, "--palette", c.palette});
    ASSERT_EQ(run.exitCode, 0) << c.name << ": " << run.err;
    int width = 0, height = 0;
    EXPECT_TRUE(ReadPng(out, width, height) == picture) << c.name;
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);
  }
}

// Error diffusion keeps the average colour of an area the palette does not
// hold; the nearest colour alone cannot.
TEST(TextureCommand, DitheringKeepsTheAverageColour) {
  ScopedTempDir dir;
  const auto palette = ShippedPalette("sanfran.pal");
  constexpr int kSide = 64;
  const Bytes grey = {97, 131, 77, 255};
  Bytes picture;
  for (int i = 0; i < kSide * kSide; ++i) picture.insert(picture.end(), grey.begin(), grey.end());
  ASSERT_TRUE(WritePng(dir.File("in.png"), picture, kSide, kSide));

  double error[2] = {0, 0};
  for (int dither = 0; dither < 2; ++dither) {
    std::vector<std::string> args = {dir.File("in.png"), dir.File("out.mip")};
    if (dither == 1) args.push_back("--dither");
    ASSERT_EQ(Texture(args).exitCode, 0);
    ASSERT_EQ(Texture({dir.File("out.mip"), dir.File("out.png")}).exitCode, 0);
    int width = 0, height = 0;
    const Bytes back = ReadPng(dir.File("out.png"), width, height);
    double sum[3] = {0, 0, 0};
    for (std::size_t i = 0; i < back.size(); i += 4) {
      for (int k = 0; k < 3; ++k) sum[k] += back[i + static_cast<std::size_t>(k)];
    }
    for (int k = 0; k < 3; ++k) error[dither] += std::abs(sum[k] / (kSide * kSide) - grey[k]);
  }
  // Plain matching is off by about 43 (summed over red, green and blue),
  // dithering by about 4: what the palette's nearby colours can mix.
  EXPECT_GT(error[0], 20.0) << "the grey is near a palette colour: the test proves nothing";
  EXPECT_LT(error[1], error[0] / 5) << error[0];
}

TEST(TextureCommand, RefusesWithTheReason) {
  ScopedTempDir dir;
  const Bytes pixel = {1, 2, 3, 255};
  ASSERT_TRUE(WritePng(dir.File("wide.png"), Bytes(4 * 8193, 200), 8193, 1));
  ASSERT_TRUE(WritePng(dir.File("huge.png"), Bytes(4 * 32768, 200), 1, 32768));
  ASSERT_TRUE(WritePng(dir.File("dot.png"), pixel, 1, 1));
  lgmd::WriteFile(dir.File("fake.png"), {'n', 'o', 't'});
  lgmd::WriteFile(dir.File("negative.mip"), lgmd::BuildMip(-2, 2, {1, 2, 3, 4}));
  lgmd::WriteFile(dir.File("model.mip"), lgmd::Build(lgmd::ModelDesc{}));
  fs::create_symlink(dir.File("dot.png"), dir.File("same.mip"));
  const std::string kept = ReadWholeFile(dir.File("model.mip"));

  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string message;  // a part of stderr
  };
  const std::vector<Case> cases = {
      {{dir.File("wide.png"), dir.File("o.mip")}, 1, "at most 8192 pixels a side"},
      {{dir.File("huge.png"), dir.File("o.mip")}, 1, "a .mip file holds at most 32767"},
      {{dir.File("fake.png"), dir.File("o.mip")}, 1, "not a PNG picture"},
      {{dir.File("absent.png"), dir.File("o.mip")}, 1, "No such file"},
      {{dir.File("negative.mip"), dir.File("o.png")}, 1, "negative size"},
      {{dir.File("dot.png"), dir.File("o.png")}, 2, "IN.png OUT.mip"},
      {{dir.File("dot.png"), dir.File("model.mip")}, 1, "it is an LGMD model"},
      {{dir.File("dot.png"), dir.File("same.mip")}, 1, "it is the file being converted"},
  };
  for (const Case& c : cases) {
    const RunResult run = Texture(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args[0] << " " << c.args[1] << ": " << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(dir.File("o.mip")));
  EXPECT_EQ(ReadWholeFile(dir.File("model.mip")), kept);
  EXPECT_TRUE(fs::is_symlink(dir.File("same.mip")));
}

}  // namespace
