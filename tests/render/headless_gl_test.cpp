// The offscreen context the headless commands and the rendering tests draw
// into.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "render/headless_gl.h"

namespace {

TEST(HeadlessGlContext, RefusesImpossibleSizesWithAReason) {
  const int sizes[][2] = {{0, 10}, {10, 0}, {-4, 4}, {4, -4}, {100000, 10}};
  for (const auto& size : sizes) {
    HeadlessGlContext context;
    EXPECT_FALSE(context.Create(size[0], size[1])) << size[0] << "x" << size[1];
    EXPECT_FALSE(context.IsValid());
    EXPECT_FALSE(context.error().empty());
    EXPECT_TRUE(context.ReadRgb().empty());
  }
}

// Rows come out top first: the upper half cleared red, the lower green.
TEST(HeadlessGlContext, ReadsWhatWasDrawnTopRowFirst) {
  HeadlessGlContext context;
  if (!context.Create(6, 4)) GTEST_SKIP() << context.error();
  EXPECT_EQ(context.width(), 6);
  EXPECT_EQ(context.height(), 4);
  // The scene set-up asks for the back buffer; what is drawn there must be
  // what is read.
  glDrawBuffer(GL_BACK);
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, 2, 6, 2);  // window rows 2 and 3: the top half
  glClearColor(1, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glScissor(0, 0, 6, 2);
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  glFinish();

  const std::vector<std::uint8_t> rgb = context.ReadRgb();
  ASSERT_EQ(rgb.size(), 6u * 4u * 3u);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) {
      const std::size_t at = (static_cast<std::size_t>(y) * 6 + static_cast<std::size_t>(x)) * 3;
      const std::vector<std::uint8_t> pixel(rgb.begin() + at, rgb.begin() + at + 3);
      const std::vector<std::uint8_t> expected =
          y < 2 ? std::vector<std::uint8_t>{255, 0, 0} : std::vector<std::uint8_t>{0, 255, 0};
      EXPECT_EQ(pixel, expected) << x << "," << y;
    }
  }
}

// Two contexts at once: each keeps its own pixels, and ending one leaves
// the other usable.
TEST(HeadlessGlContext, ContextsAreIndependent) {
  const std::vector<std::uint8_t> blue = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255};
  HeadlessGlContext first;
  if (!first.Create(2, 2)) GTEST_SKIP() << first.error();
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glFinish();
  {
    HeadlessGlContext second;
    ASSERT_TRUE(second.Create(3, 3)) << second.error();
    glClearColor(1, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    EXPECT_EQ(first.ReadRgb(), blue);
    const std::vector<std::uint8_t> yellow = second.ReadRgb();
    ASSERT_EQ(yellow.size(), 27u);
    EXPECT_EQ(yellow[0], 255);
    EXPECT_EQ(yellow[1], 255);
    EXPECT_EQ(yellow[2], 0);
  }
  // Reading makes the first current again, and it still draws.
  EXPECT_EQ(first.ReadRgb(), blue);
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glFinish();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  EXPECT_EQ(first.ReadRgb(), std::vector<std::uint8_t>(12, 255));
}

// Ending a context that is not current must not take away the one that is.
TEST(HeadlessGlContext, EndingAnOlderContextKeepsTheCurrentOne) {
  auto older = std::make_unique<HeadlessGlContext>();
  if (!older->Create(2, 2)) GTEST_SKIP() << older->error();
  HeadlessGlContext current;
  ASSERT_TRUE(current.Create(2, 2)) << current.error();
  older.reset();
  EXPECT_NE(glGetString(GL_VERSION), nullptr) << "no context current any more";
}

}  // namespace
