// Pictures and export images survive the PNG encoder byte for byte, as
// another decoder reads them back; impossible requests are refused.
#include "io/png_image.h"

#include <gtest/gtest.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

TEST(PngImage, DecodesToTheSamePixelsOrIsRefused) {
  struct Case {
    int width, height, channels;
    std::size_t given;  // bytes of pixels handed over
    bool encodes;
  };
  const Case cases[] = {
      {37, 23, 3, 37 * 23 * 3, true},  // odd sizes: rows not a multiple of four bytes
      {37, 23, 4, 37 * 23 * 4, true},
      {1, 1, 3, 3, true},
      {16, 16, 3, 16 * 16 * 3 - 1, false},  // one byte short
      {0, 16, 3, 0, false},
      {16, -1, 4, 64, false},
      {4, 4, 2, 32, false},
      {4, 4, 1, 16, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "x" +
                 std::to_string(c.channels));
    std::vector<std::uint8_t> pixels(c.given);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      pixels[i] = static_cast<std::uint8_t>((i * 131 + i / 7) & 0xFF);
    }
    std::vector<std::uint8_t> png{1, 2, 3};
    ASSERT_EQ(EncodePng(pixels, c.width, c.height, c.channels, png), c.encodes);
    if (!c.encodes) {
      EXPECT_TRUE(png.empty());
      continue;
    }
    int width = 0, height = 0, channels = 0;
    stbi_uc* decoded = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &width,
                                             &height, &channels, 0);
    ASSERT_NE(decoded, nullptr) << stbi_failure_reason();
    EXPECT_EQ(width, c.width);
    EXPECT_EQ(height, c.height);
    EXPECT_EQ(channels, c.channels);
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), decoded));
    stbi_image_free(decoded);
  }
}

}  // namespace
