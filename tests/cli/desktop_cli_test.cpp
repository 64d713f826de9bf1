// What the desktop asks of the program without a window: its help, and the
// thumbnails a file manager makes through `zorvik render --thumbnail`.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::string kProgram = std::string(ZORVIK_BINARY_DIR) + "/zorvik";
const std::string kDemo = std::string(ZORVIK_SOURCE_DIR) + "/samples/demo/biplane.bin";

TEST(DesktopCli, HelpNamesTheViewerAndEveryCommand) {
  const RunResult run = RunProgram({kProgram, "--help"});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* text : {"zorvik [FILE.bin]", "info", "export", "render", "--version"}) {
    EXPECT_NE(run.out.find(text), std::string::npos) << text << " missing from:\n" << run.out;
  }
}

// The model alone, as a file manager's thumbnailer sees it: every texture
// beside it is missing, which is no reason for a message.
TEST(DesktopCli, ThumbnailIsASquareOfTheAskedSizeWithAClearBackgroundAndNoMessage) {
  ScopedTempDir temp;
  const std::string model = temp.File("plane.bin");
  fs::copy_file(kDemo, model);
  for (int size : {48, 128}) {
    const std::string png = temp.File("thumb" + std::to_string(size) + ".png");
    const RunResult run =
        RunProgram({kProgram, "render", "--thumbnail", std::to_string(size), model, png});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");

    int width = 0, height = 0, channels = 0;
    stbi_uc* rgba = stbi_load(png.c_str(), &width, &height, &channels, 4);
    ASSERT_NE(rgba, nullptr);
    EXPECT_EQ(width, size);
    EXPECT_EQ(height, size);
    EXPECT_EQ(channels, 4);
    int opaque = 0;
    for (int i = 0; i < width * height; ++i) opaque += rgba[i * 4 + 3] == 255;
    EXPECT_EQ(rgba[3], 0) << "the corner is background";
    EXPECT_GT(opaque, width * height / 20) << "the model fills part of the picture";
    stbi_image_free(rgba);
  }

  // Without --thumbnail the missing textures are still reported.
  const RunResult plain = RunProgram({kProgram, "render", model, temp.File("plain.png")});
  EXPECT_EQ(plain.exitCode, 0);
  EXPECT_NE(plain.err.find("Missing Textures"), std::string::npos) << plain.err;

  // A thumbnail's size is its own; --size beside it is a usage error.
  const RunResult both = RunProgram(
      {kProgram, "render", "--thumbnail", "64", "--size", "64x64", model, temp.File("x.png")});
  EXPECT_EQ(both.exitCode, 2);
  EXPECT_FALSE(fs::exists(temp.File("x.png")));
}

}  // namespace
