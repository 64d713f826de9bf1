// Pictures `zorvik render` makes, compared with the reference PNGs in
// tests/baselines. New rendering work is pinned by adding a line to the
// table. A mismatch names the baseline and leaves the picture made and a
// difference image (differing pixels red over a faded baseline) in
// <build>/baseline-diffs. After a deliberate change of the pictures,
// ZORVIK_REFRESH_BASELINES=1 writes the new ones over the old.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "lgmd_builder/lgmd_builder.h"
#include "support/picture.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::string kProgram = std::string(ZORVIK_BINARY_DIR) + "/zorvik";
const fs::path kBaselines = fs::path(ZORVIK_SOURCE_DIR) / "tests" / "baselines";
const fs::path kDiffs = fs::path(ZORVIK_BINARY_DIR) / "baseline-diffs";
const std::string kDemo = std::string(ZORVIK_SOURCE_DIR) + "/samples/demo/biplane.bin";

// A channel may differ this much, and this many pixels may differ beyond
// it (rounding and edge pixels of another rasteriser build). Moving the
// camera back by 1 % already changes some 80 to 500 pixels of these
// 160 x 120 pictures.
constexpr int kChannelTolerance = 8;
constexpr int kAllowedPixels = 16;

// Differing pixels in red over the baseline at a quarter of its brightness.
int CountDifferences(const Picture& expected, const Picture& actual, Picture& diff) {
  diff = expected;
  int count = 0;
  for (std::size_t at = 0; at < expected.rgb.size(); at += 3) {
    bool differs = false;
    for (std::size_t c = 0; c < 3; ++c) {
      differs |= std::abs(expected.rgb[at + c] - actual.rgb[at + c]) > kChannelTolerance;
      diff.rgb[at + c] = static_cast<std::uint8_t>(expected.rgb[at + c] / 4);
    }
    if (differs) {
      ++count;
      diff.rgb[at] = 255;
    }
  }
  return count;
}

// A glass square with two holes (index 0 of a "t_" texture) in front of a
// red square (the palette swaps the file's blue-first bytes), beside an
// opaque square whose index 0 is drawn as a colour.
std::string WriteGlassScene(const ScopedTempDir& dir) {
  lgmd::ModelDesc desc;
  desc.materials = {{"t_glass", 0, 1, 1, 0, 0}, {"tile", 0, 2, 2, 0, 0}, {"red", 1, 3, 255, 0, 0}};
  desc.texCoords = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  desc.normals = {{0, 0, 1}};
  auto square = [&](float cx, float cy, float z, std::int16_t material, std::uint8_t flags) {
    const auto base = static_cast<std::int16_t>(desc.vertices.size());
    desc.vertices.push_back({cx - 1, cy - 1, z});
    desc.vertices.push_back({cx - 1, cy + 1, z});
    desc.vertices.push_back({cx + 1, cy + 1, z});
    desc.vertices.push_back({cx + 1, cy - 1, z});
    lgmd::BuilderPolygon polygon;
    polygon.materialId = material;
    polygon.flags = flags;
    polygon.vertIdx = {base, static_cast<std::int16_t>(base + 1),
                       static_cast<std::int16_t>(base + 2), static_cast<std::int16_t>(base + 3)};
    if (flags == 0) polygon.texIdx = {0, 1, 2, 3};
    desc.polygons.push_back(polygon);
  };
  square(-0.6f, 0.3f, -1, 3, 0x40);
  square(-1.1f, 0, 0, 1, 0);
  square(1.3f, 0, 0, 2, 0);
  const std::vector<std::uint8_t> texels = {0,  40, 40, 40, 40, 70, 70, 40,
                                            40, 70, 0,  40, 40, 40, 40, 100};
  EXPECT_TRUE(lgmd::WriteFile(dir.File("t_glass.mip"), lgmd::BuildMip(4, 4, texels)));
  EXPECT_TRUE(lgmd::WriteFile(dir.File("tile.mip"), lgmd::BuildMip(4, 4, texels)));
  const std::string model = dir.File("glass.bin");
  EXPECT_TRUE(lgmd::WriteFile(model, lgmd::Build(desc)));
  return model;
}

struct Baseline {
  std::string name;  // tests/baselines/<name>.png
  std::string model;
  std::vector<std::string> options;
};

TEST(Baselines, PicturesMatchTheReferences) {
  ScopedTempDir dir;
  const std::string glass = WriteGlassScene(dir);
  const std::vector<Baseline> baselines = {
      {"demo_sanfran", kDemo, {"--palette", "0", "--rot", "-25,35,0"}},
      {"demo_seattle", kDemo, {"--palette", "1", "--rot", "-25,35,0"}},
      {"demo_wireframe", kDemo, {"--wireframe"}},
      {"glass_hole", glass, {"--background", "0.1,0.2,0.5"}},
  };
  const char* refresh = std::getenv("ZORVIK_REFRESH_BASELINES");
  const bool refreshing = refresh != nullptr && std::string(refresh) == "1";
  for (const Baseline& b : baselines) {
    SCOPED_TRACE(b.name);
    const std::string made = dir.File(b.name + ".png");
    std::vector<std::string> argv = {kProgram, "render", b.model, made, "--size", "160x120"};
    argv.insert(argv.end(), b.options.begin(), b.options.end());
    const RunResult run = RunProgram(argv);
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const fs::path reference = kBaselines / (b.name + ".png");
    if (refreshing) fs::copy_file(made, reference, fs::copy_options::overwrite_existing);
    const Picture expected = LoadPicture(reference.string());
    const Picture actual = LoadPicture(made);
    ASSERT_FALSE(expected.rgb.empty()) << reference << " is missing or unreadable";
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    Picture diff;
    const int differences = CountDifferences(expected, actual, diff);
    if (differences <= kAllowedPixels) continue;
    fs::create_directories(kDiffs);
    const fs::path diffPath = kDiffs / (b.name + ".diff.png");
    fs::copy_file(made, kDiffs / (b.name + ".png"), fs::copy_options::overwrite_existing);
    stbi_write_png(diffPath.c_str(), diff.width, diff.height, 3, diff.rgb.data(), diff.width * 3);
    ADD_FAILURE() << "baseline " << b.name << ": " << differences << " pixels differ (at most "
                  << kAllowedPixels << " may); made picture and difference image in " << kDiffs;
  }
}

}  // namespace
