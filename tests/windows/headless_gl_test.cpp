// The headless context on Windows: WGL in a window never shown. Under Wine
// it needs an X display (scripts/test-windows.sh starts one); the driver
// is then Mesa's, so a cleared pixel reads back exactly.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/headless_gl.h"

namespace {

TEST(WindowsHeadlessGlTest, SizesOutOfRangeAreRefused) {
  for (const auto& [width, height] : {std::pair{0, 10}, std::pair{10, -1}, std::pair{16385, 1}}) {
    HeadlessGlContext context;
    EXPECT_FALSE(context.Create(width, height));
    EXPECT_EQ(context.error(),
              "invalid size " + std::to_string(width) + "x" + std::to_string(height));
  }
}

// Cleared, then two strips drawn with one multi-draw (a call opengl32.dll
// does not export): the rows read back top first, each pixel exact.
TEST(WindowsHeadlessGlTest, ClearsAndMultiDrawsIntoWhatIsReadBack) {
  constexpr int kWidth = 64;
  constexpr int kHeight = 32;
  HeadlessGlContext context;
  ASSERT_TRUE(context.Create(kWidth, kHeight)) << context.error();
  glViewport(0, 0, kWidth, kHeight);
  glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, kWidth, 0, kHeight, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  // The left quarter and the right quarter of the lower half, in red.
  const std::vector<float> corners = {0, 0, 16, 0, 16, 16, 0, 16, 48, 0, 64, 0, 64, 16, 48, 16};
  const GLint firsts[] = {0, 4};
  const GLsizei counts[] = {4, 4};
  glColor3f(1.0f, 0.0f, 0.0f);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(2, GL_FLOAT, 0, corners.data());
  glMultiDrawArrays(GL_QUADS, firsts, counts, 2);
  glDisableClientState(GL_VERTEX_ARRAY);
  glFinish();

  const std::vector<std::uint8_t> rgb = context.ReadRgb();
  ASSERT_EQ(rgb.size(), static_cast<std::size_t>(kWidth * kHeight * 3));
  int wrong = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      // Row 0 is the top: the strips are in the lower rows.
      const bool red = y >= kHeight - 16 && (x < 16 || x >= 48);
      const std::uint8_t* pixel = &rgb[(y * kWidth + x) * 3];
      const std::uint8_t want[3] = {static_cast<std::uint8_t>(red ? 255 : 0), 0,
                                    static_cast<std::uint8_t>(red ? 0 : 255)};
      if (pixel[0] != want[0] || pixel[1] != want[1] || pixel[2] != want[2]) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
}

}  // namespace
