// The texture upload, in an OpenGL context with no display.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "lgmd_builder/lgmd_builder.h"
#include "model/model.h"
#include "render/headless_gl.h"
#include "render/texture_set.h"
#include "support/edit_model.h"
#include "support/temp_dir.h"

namespace {

constexpr GLenum kBgra = 0x80E1;

using Bytes = std::vector<std::uint8_t>;

class TextureUpload : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(context.Create(16, 16)) << context.error();
    std::vector<PaletteEntry> palette(256);
    for (int i = 0; i < 256; ++i) palette[i] = {i, 255 - i, (i * 5) % 256};
    model.SetPalette(palette);
  }

  void AddMaterial(const std::string& name, int kind, bool transparent = false) {
    Material m;
    m.strName = name;
    m.nKind = kind;
    m.fColor[3] = transparent ? 0.0f : 1.0f;
    EditContent(model, [&](ModelContent& c) {
      c.m_vecMaterials.push_back(m);
      c.m_nMaterials = static_cast<int>(c.m_vecMaterials.size());
    });
  }

  std::string ModelPath() const { return dir.File("model.bin"); }

  // Size and content of texture name as OpenGL holds it.
  static void ReadBack(GLuint name, GLint& width, GLint& height, Bytes& pixels) {
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    pixels.assign(static_cast<std::size_t>(width) * height * 4, 0xEE);
    if (!pixels.empty()) glGetTexImage(GL_TEXTURE_2D, 0, kBgra, GL_UNSIGNED_BYTE, pixels.data());
  }

  HeadlessGlContext context;
  ScopedTempDir dir;
  CModel model;
  CTextureSet textures;
};

TEST_F(TextureUpload, OpenGlHoldsTheDecodedImages) {
  // 3 x 2 keeps rows a multiple of 4 bytes only because of BGRA; an odd
  // width shows that no row padding slips in.
  ASSERT_TRUE(lgmd::WriteFile(dir.File("t_hull.mip"), lgmd::BuildMip(3, 2, {0, 1, 2, 3, 0, 255})));
  ASSERT_TRUE(lgmd::WriteFile(dir.File("deck.mip"), lgmd::BuildMip(5, 1, {9, 8, 7, 6, 0})));
  AddMaterial("t_hull", 0, /*transparent=*/true);
  AddMaterial("paint", 1);
  AddMaterial("deck", 0);
  AddMaterial("lost", 0);

  EXPECT_EQ(textures.LoadTextures(model, ModelPath()), "\r\nlost.mip");
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  ASSERT_EQ(textures.Count(), 3);

  for (int k = 0; k < 2; ++k) {
    SCOPED_TRACE(k);
    const TextureEntry& entry = model.Textures()[k];
    GLint width = 0;
    GLint height = 0;
    Bytes pixels;
    ReadBack(textures.Name(k), width, height, pixels);
    EXPECT_EQ(width, entry.nWidth);
    EXPECT_EQ(height, entry.nHeight);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(entry.nWidth) * entry.nHeight * 4);
    EXPECT_EQ(pixels, Bytes(entry.pPixels.get(), entry.pPixels.get() + pixels.size()));

    GLfloat value = 0;
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, static_cast<GLfloat>(GL_NEAREST));
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, static_cast<GLfloat>(GL_NEAREST));
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, static_cast<GLfloat>(GL_REPEAT));
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, static_cast<GLfloat>(GL_REPEAT));
  }
  // The hole of the transparent texture survives the upload.
  GLint width = 0;
  GLint height = 0;
  Bytes hull;
  ReadBack(textures.Name(0), width, height, hull);
  ASSERT_EQ(hull.size(), 24u);
  EXPECT_EQ(hull[3], 0);
  EXPECT_EQ(hull[7], 255);
  EXPECT_EQ(model.Textures()[0].pPixels[4], 1);  // blue of index 1

  GLfloat mode = 0;
  glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
  EXPECT_EQ(mode, static_cast<GLfloat>(GL_MODULATE));

  // The missing texture's name has no image.
  ReadBack(textures.Name(2), width, height, hull);
  EXPECT_EQ(width, 0);
}

TEST_F(TextureUpload, EverySetUpDeletesThePreviousTextures) {
  ASSERT_TRUE(lgmd::WriteFile(dir.File("a.mip"), lgmd::BuildMip(2, 2, {1, 2, 3, 4})));
  ASSERT_TRUE(lgmd::WriteFile(dir.File("b.mip"), lgmd::BuildMip(1, 1, {5})));
  AddMaterial("a", 0);
  AddMaterial("b", 0);
  ASSERT_EQ(textures.LoadTextures(model, ModelPath()), "");
  const std::vector<GLuint> first = {textures.Name(0), textures.Name(1)};
  for (GLuint name : first) ASSERT_TRUE(glIsTexture(name)) << name;

  // The second set-up finds no file, so it binds no name: whatever names it
  // generates, the first textures must be gone.
  std::filesystem::remove(dir.File("a.mip"));
  std::filesystem::remove(dir.File("b.mip"));
  EXPECT_EQ(textures.LoadTextures(model, ModelPath()), "\r\na.mip\r\nb.mip");
  for (GLuint name : first) EXPECT_FALSE(glIsTexture(name)) << name;
  EXPECT_EQ(textures.Count(), 2);
}

TEST_F(TextureUpload, EmptyImagesAndNoTexturesNeedNoSpecialCase) {
  ASSERT_TRUE(lgmd::WriteFile(dir.File("flat.mip"), lgmd::BuildMip(0, 4, {})));
  AddMaterial("flat", 0);
  // An empty image is no texture: missing, with no image bound.
  EXPECT_EQ(textures.LoadTextures(model, ModelPath()), "\r\nflat.mip");
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  ASSERT_EQ(textures.Count(), 1);
  EXPECT_EQ(model.Textures()[0].nNumber, -1);

  EditContent(model, [](ModelContent& c) { c.m_vecMaterials[0].nKind = 1; });
  EXPECT_EQ(textures.LoadTextures(model, ModelPath()), "");
  EXPECT_EQ(textures.Count(), 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Materials naming one file share its image, and its texture object.
TEST_F(TextureUpload, OneFileIsOneTexture) {
  ASSERT_TRUE(lgmd::WriteFile(dir.File("hull.mip"), lgmd::BuildMip(2, 1, {1, 2})));
  AddMaterial("hull", 0);
  AddMaterial("hull.bmp", 0);
  AddMaterial("hull", 0, /*transparent=*/true);
  ASSERT_EQ(textures.LoadTextures(model, ModelPath()), "");
  EXPECT_EQ(textures.Name(0), textures.Name(1));
  EXPECT_NE(textures.Name(0), textures.Name(2));
  for (int k = 0; k < 3; ++k) EXPECT_TRUE(glIsTexture(textures.Name(k))) << k;

  // The next set-up deletes the shared texture once and leaves none behind.
  const GLuint shared = textures.Name(0);
  std::filesystem::remove(dir.File("hull.mip"));
  EXPECT_EQ(textures.LoadTextures(model, ModelPath()), "\r\nhull.mip\r\nhull.mip\r\nhull.mip");
  EXPECT_FALSE(glIsTexture(shared));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// An image wider than the driver takes is reported as a missing file, not
// shown as a blank white texture; it is refused before it is decoded.
TEST_F(TextureUpload, ImagesTheDriverCannotTakeAreReportedMissing) {
  const int tooWide = CTextureSet::MaxTextureSize() + 1;
  ASSERT_GT(tooWide, 1);
  ASSERT_LE(tooWide, 32767) << "a .mip side is a 16-bit number";
  ASSERT_TRUE(lgmd::WriteFile(dir.File("wide.mip"),
                              lgmd::BuildMip(static_cast<std::int16_t>(tooWide), 1,
                                             Bytes(static_cast<std::size_t>(tooWide), 3))));
  ASSERT_TRUE(lgmd::WriteFile(dir.File("fine.mip"), lgmd::BuildMip(1, 1, {3})));
  AddMaterial("wide", 0);
  AddMaterial("fine", 0);
  EXPECT_EQ(textures.LoadTextures(model, ModelPath()), "\r\nwide.mip");
  EXPECT_EQ(model.Textures()[0].pPixels, nullptr);
  EXPECT_EQ(model.Textures()[0].nNumber, -1);
  EXPECT_NE(model.Textures()[0].strMissingReason.find("limit"), std::string::npos);
  EXPECT_NE(model.Textures()[1].pPixels, nullptr);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
