// The scene state, the camera transform and the model's drawing, rendered
// offscreen and checked pixel by pixel. The models are filled in directly,
// so these tests depend on nothing but the drawing path.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "doc/zorvik_doc.h"
#include "render/headless_gl.h"
#include "render/scene.h"

#include "support/doc_access.h"
#include "support/pixel_assert.h"

namespace {

constexpr int kSide = 64;

// The fixed pipeline's lit colour of a surface of colour c under the scene's
// light: global ambient (0.2, the light model default) and the light's
// ambient 0.6 take the full colour, the diffuse 0.3 the colour times the
// cosine to the light direction (1, 1, 1). No specular: the material's
// specular stays black.
Rgb LitColour(const std::array<double, 3>& colour, const std::array<double, 3>& normal) {
  const double inv = 1.0 / std::sqrt(3.0);
  const double cosine = std::max(0.0, (normal[0] + normal[1] + normal[2]) * inv);
  Rgb rgb{};
  for (int i = 0; i < 3; ++i) {
    const double lit = std::min(1.0, colour[i] * (0.2 + 0.6 + 0.3 * cosine));
    rgb[i] = static_cast<int>(std::lround(lit * 255.0));
  }
  return rgb;
}

Rgb Scaled(const Rgb& texel, const Rgb& white) {
  Rgb out{};
  for (int i = 0; i < 3; ++i) out[i] = static_cast<int>(std::lround(texel[i] * white[i] / 255.0));
  return out;
}

class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!m_context.Create(kSide, kSide))
      GTEST_SKIP() << "no headless OpenGL: " << m_context.error();
    // The camera looks at the origin from 10 units; a 2 x 2 quad there
    // covers the middle quarter of the picture.
    MoveCamera(m_doc, [&](scene::Camera& camera) { camera.dDistance = 10.0; });
    // The first region's default colour: white.
    DocTestAccess::Model(m_doc).ApplyPalette(0);
  }

  // Adds a vertex and returns its index.
  int AddVertex(float x, float y, float z, const std::array<float, 3>& normal = {0, 0, 1}) {
    Vertex v;
    v.x = x;
    v.y = y;
    v.z = z;
    v.nx = normal[0];
    v.ny = normal[1];
    v.nz = normal[2];
    m_content.m_vecVertices.push_back(v);
    m_content.m_nVertices = static_cast<int>(m_content.m_vecVertices.size());
    return m_content.m_nVertices - 1;
  }

  // A square of half-side h centred on (cx, cy) in the plane z, wound
  // clockwise on screen (the drawn side) or counter-clockwise (culled).
  // Corners get texture coordinates 0..1 from the lower left.
  Polygon& AddSquare(float cx, float cy, float z, float h, bool clockwise = true,
                     const std::array<float, 3>& normal = {0, 0, 1}) {
    ModelContent& model = m_content;
    const int base = static_cast<int>(model.m_vecTexCoords.size());
    for (auto [u, v] : {std::array<float, 2>{0, 0}, {0, 1}, {1, 1}, {1, 0}}) {
      model.m_vecTexCoords.push_back(TexCoord{u, v});
    }
    const int a = AddVertex(cx - h, cy - h, z, normal);
    const int b = AddVertex(cx - h, cy + h, z, normal);
    const int c = AddVertex(cx + h, cy + h, z, normal);
    const int d = AddVertex(cx + h, cy - h, z, normal);
    Polygon polygon;
    polygon.nVerts = 4;
    IndexPool& pool = model.m_indexPool;
    polygon.vecVertIdx = clockwise ? pool.Add({a, b, c, d}) : pool.Add({a, d, c, b});
    polygon.vecTexIdx = clockwise ? pool.Add({base, base + 1, base + 2, base + 3})
                                  : pool.Add({base, base + 3, base + 2, base + 1});
    polygon.vecAuxIdx = pool.Filled(4, 0);
    model.m_vecPolygons.push_back(polygon);
    model.m_nPolygons = static_cast<int>(model.m_vecPolygons.size());
    return model.m_vecPolygons.back();
  }

  Material* AddMaterial(int kind, float r, float g, float b, float a = 1.0f) {
    Material material;
    material.nKind = kind;
    material.fColor[0] = r;
    material.fColor[1] = g;
    material.fColor[2] = b;
    material.fColor[3] = a;
    // Polygons hold pointers into the array: reserve once, never reallocate.
    m_content.m_vecMaterials.reserve(16);
    m_content.m_vecMaterials.push_back(material);
    m_content.m_nMaterials = static_cast<int>(m_content.m_vecMaterials.size());
    return &m_content.m_vecMaterials.back();
  }

  // A 2 x 2 texture from BGRA texels, row 0 first, as the texture set-up
  // would have read it; the material gets the next texture entry, and the
  // next render uploads it.
  void AttachTexture(Material* material, const std::array<std::uint8_t, 16>& bgra) {
    TextureEntry entry;
    entry.nWidth = entry.nHeight = 2;
    entry.pPixels = std::make_unique<std::uint8_t[]>(bgra.size());
    std::copy(bgra.begin(), bgra.end(), entry.pPixels.get());
    material->nTexIndex = static_cast<int>(m_textures.size());
    m_textures.push_back(std::move(entry));
  }

  void ClearModel() {
    m_content = ModelContent();
    m_textures.clear();
  }

  void SetWireframe() { m_doc.SetPolygonMode(kPolygonModeLine); }

  // A square textured with texels on the left, and on the right one whose
  // red material has the kind otherKind: drawn in that order, the second
  // may inherit what the first bound.
  void AddTexturedThenOtherSquare(const std::array<std::uint8_t, 16>& texels, int otherKind) {
    Material* textured = AddMaterial(0, 0, 0, 0);
    AttachTexture(textured, texels);
    AddSquare(-1.5f, 0, 0, 1).pMaterial = textured;
    AddSquare(1.5f, 0, 0, 1).pMaterial = AddMaterial(otherKind, 1, 0, 0);
  }

  // The model made so far goes into the document for the frame and comes
  // back out for the test to go on changing it.
  void Render() {
    DocTestAccess::Model(m_doc).Assign(std::move(m_content));
    DocTestAccess::Model(m_doc).SetTextures(m_textures);
    m_doc.SetupScene(kSide, kSide);
    const std::string missing =
        DocTestAccess::Textures(m_doc).UploadTextures(DocTestAccess::Model(m_doc));
    m_doc.DrawScene();
    m_content = DocTestAccess::Model(m_doc).Assign(ModelContent());
    ASSERT_EQ(missing, "");
    glFinish();
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    m_pixels = m_context.ReadRgb();
    ASSERT_EQ(m_pixels.size(), static_cast<std::size_t>(kSide * kSide * 3));
  }

  // x from the left, y from the top.
  Rgb Pixel(int x, int y) const {
    const std::size_t at = (static_cast<std::size_t>(y) * kSide + static_cast<std::size_t>(x)) * 3;
    return {m_pixels[at], m_pixels[at + 1], m_pixels[at + 2]};
  }

  Rgb Centre() const { return Pixel(kSide / 2, kSide / 2); }

  HeadlessGlContext m_context;
  CZorvikDoc m_doc;
  ModelContent m_content;
  std::vector<TextureEntry> m_textures;
  std::vector<std::uint8_t> m_pixels;
};

const Rgb kBackground = {51, 102, 153};

TEST_F(SceneTest, EmptyModelShowsOnlyTheBackground) {
  m_doc.SetBackground(0.2, 0.4, 0.6);
  Render();
  for (int y = 0; y < kSide; y += 7) {
    for (int x = 0; x < kSide; x += 7)
      ASSERT_TRUE(Near(Pixel(x, y), kBackground, 1)) << x << "," << y;
  }
}

// Colour materials and the default colour come out in their own colour,
// lit by the one light; a colour material's alpha plays no part.
TEST_F(SceneTest, SolidPolygonsAreLitInTheirOwnColour) {
  const double k = 1.0 / std::sqrt(3.0);
  struct Case {
    const char* name;
    int kind;  // -1: no material, the model's default colour
    std::array<float, 4> colour;
    std::array<float, 3> normal;
  };
  const Case cases[] = {
      {"red colour material facing the eye", 1, {1, 0, 0, 1}, {0, 0, 1}},
      {"default colour", -1, {1, 1, 1, 1}, {0, 0, 1}},
      {"colour material with alpha 0 still opaque", 1, {0.5f, 0.25f, 1, 0}, {0, 0, 1}},
      {"normal towards the light saturates", 1, {1, 1, 1, 1}, {float(k), float(k), float(k)}},
      {"normal away from the light: ambient only",
       1,
       {1, 0.5f, 0, 1},
       {float(-k), float(-k), float(-k)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClearModel();
    Polygon& square = AddSquare(0, 0, 0, 1, true, c.normal);
    if (c.kind >= 0) {
      square.pMaterial = AddMaterial(c.kind, c.colour[0], c.colour[1], c.colour[2], c.colour[3]);
    }
    Render();
    const std::array<double, 3> normal = {c.normal[0], c.normal[1], c.normal[2]};
    EXPECT_TRUE(Near(Centre(), LitColour({c.colour[0], c.colour[1], c.colour[2]}, normal)));
    EXPECT_TRUE(Near(Pixel(2, 2), {0, 0, 0}, 0));
  }
}

TEST_F(SceneTest, CounterClockwiseFacesAreCulled) {
  Material* red = AddMaterial(1, 1, 0, 0);
  AddSquare(-1.5f, 0, 0, 1, /*clockwise=*/false).pMaterial = red;
  AddSquare(1.5f, 0, 0, 1, /*clockwise=*/true).pMaterial = red;
  Render();
  EXPECT_TRUE(Near(Pixel(kSide / 2 - 10, kSide / 2), {0, 0, 0}, 0)) << "front face drawn";
  EXPECT_TRUE(Near(Pixel(kSide / 2 + 10, kSide / 2), LitColour({1, 0, 0}, {0, 0, 1})));
}

// Texel layout: row 0 (v = 0, the bottom of the square) blue, green; row 1
// red, and a transparent texel.
constexpr std::array<std::uint8_t, 16> kTexels = {
    255, 0, 0,   255, /**/ 0, 255, 0, 255,  // row 0: blue, green
    0,   0, 255, 255, /**/ 9, 9,   9, 0,    // row 1: red, transparent
};

TEST_F(SceneTest, TexturedSquareShowsItsTexelsAndHoles) {
  m_doc.SetBackground(0.2, 0.4, 0.6);
  // The material's own colour must not tint the texture.
  Material* textured = AddMaterial(0, 0.1f, 0.1f, 0.1f, 0.0f);
  AttachTexture(textured, kTexels);
  AddSquare(0, 0, 0, 1).pMaterial = textured;
  Render();
  const Rgb white = LitColour({1, 1, 1}, {0, 0, 1});
  const int lo = kSide / 2 - 4;
  const int hi = kSide / 2 + 3;
  EXPECT_TRUE(Near(Pixel(lo, hi), Scaled({0, 0, 255}, white))) << "lower left: blue";
  EXPECT_TRUE(Near(Pixel(hi, hi), Scaled({0, 255, 0}, white))) << "lower right: green";
  EXPECT_TRUE(Near(Pixel(lo, lo), Scaled({255, 0, 0}, white))) << "upper left: red";
  EXPECT_TRUE(Near(Pixel(hi, lo), kBackground, 1)) << "upper right: a hole";
}

// Wireframe: outlines only, white and untextured, whatever the material.
TEST_F(SceneTest, WireframeDrawsWhiteOutlines) {
  AddTexturedThenOtherSquare(kTexels, 1);
  SetWireframe();
  Render();
  const Rgb white = LitColour({1, 1, 1}, {0, 0, 1});
  int outline = 0;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const Rgb p = Pixel(x, y);
      if (p == Rgb{0, 0, 0}) continue;
      ++outline;
      ASSERT_TRUE(Near(p, white)) << x << "," << y;
    }
  }
  EXPECT_GT(outline, 40);
  EXPECT_TRUE(Near(Pixel(kSide / 2 - 10, kSide / 2), {0, 0, 0}, 0)) << "inside stays empty";
  EXPECT_TRUE(Near(Pixel(kSide / 2 + 10, kSide / 2), {0, 0, 0}, 0)) << "inside stays empty";
}

// A material of neither kind has no texture: it must not pick up the one the
// polygon before it bound.
TEST_F(SceneTest, MaterialOfOtherKindDrawsWhiteUntextured) {
  AddTexturedThenOtherSquare(kTexels, 7);
  Render();
  EXPECT_TRUE(Near(Pixel(kSide / 2 + 10, kSide / 2), LitColour({1, 1, 1}, {0, 0, 1})));
}

std::array<std::uint8_t, 16> Uniform(std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  return {b, g, r, 255, b, g, r, 255, b, g, r, 255, b, g, r, 255};
}

// Each polygon shows its own texture or colour whatever the polygons before
// it, in this frame or the last, left behind.
TEST_F(SceneTest, EveryPolygonGetsItsOwnTextureAndColour) {
  Material* blue = AddMaterial(0, 0, 0, 0);
  AttachTexture(blue, Uniform(255, 0, 0));
  Material* green = AddMaterial(0, 0, 0, 0);
  AttachTexture(green, Uniform(0, 255, 0));
  Material* red = AddMaterial(1, 1, 0, 0);
  Material* alsoRed = AddMaterial(1, 1, 0, 0);
  Material* yellow = AddMaterial(1, 1, 1, 0);
  // Six squares left to right: each pair of neighbours differs in texture,
  // texturing or colour, or repeats it (the two reds).
  Material* const row[] = {blue, green, red, alsoRed, yellow, blue};
  const float first = -2.5f;
  for (int i = 0; i < 6; ++i) AddSquare(first + i, 0, 0, 0.4f).pMaterial = row[i];

  const Rgb white = LitColour({1, 1, 1}, {0, 0, 1});
  const Rgb expected[] = {Scaled({0, 0, 255}, white),      Scaled({0, 255, 0}, white),
                          LitColour({1, 0, 0}, {0, 0, 1}), LitColour({1, 0, 0}, {0, 0, 1}),
                          LitColour({1, 1, 0}, {0, 0, 1}), Scaled({0, 0, 255}, white)};
  // 10 units away, one unit is kSide / 2 / tan(22.5 degrees) / 10 pixels.
  const double pixelsPerUnit = kSide / 2 / std::tan(std::numbers::pi / 8.0) / 10.0;
  for (int frame = 0; frame < 2; ++frame) {
    SCOPED_TRACE(frame);
    Render();
    for (int i = 0; i < 6; ++i) {
      const int x = static_cast<int>(kSide / 2 + (first + i) * pixelsPerUnit);
      EXPECT_TRUE(Near(Pixel(x, kSide / 2), expected[i])) << "square " << i;
    }
    // Something else touching the state between frames must not matter,
    // even though the frame ends in the state it starts with.
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(0, 0, 1, 1);
    const GLfloat grey[4] = {0.5f, 0.5f, 0.5f, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, grey);
    glDisable(GL_TEXTURE_2D);
  }
}

// Scale, then Z, then Y, then X: with Z 90 and X 90 a square standing on the
// model's X axis at x = 3, facing +X, ends on the Z axis facing the eye.
// Applied the other way round it would stand edge-on above the centre.
TEST_F(SceneTest, RotationsApplyZThenYThenX) {
  Material* red = AddMaterial(1, 1, 0, 0);
  ModelContent& model = m_content;
  const std::array<float, 3> plusX = {1, 0, 0};
  const int a = AddVertex(3, 1, 1, plusX);
  const int b = AddVertex(3, 1, -1, plusX);
  const int c = AddVertex(3, -1, -1, plusX);
  const int d = AddVertex(3, -1, 1, plusX);
  Polygon polygon;
  polygon.nVerts = 4;
  polygon.vecVertIdx = model.m_indexPool.Add({a, b, c, d});
  polygon.vecTexIdx = model.m_indexPool.Filled(4, 0);
  polygon.pMaterial = red;
  model.m_vecPolygons.push_back(polygon);
  model.m_nPolygons = 1;

  Render();
  EXPECT_TRUE(Near(Centre(), {0, 0, 0}, 0)) << "unturned, the square is edge-on";

  MoveCamera(m_doc, [&](scene::Camera& camera) { camera.dRotZ = 90.0; });
  MoveCamera(m_doc, [&](scene::Camera& camera) { camera.dRotX = 90.0; });
  Render();
  EXPECT_TRUE(Near(Centre(), LitColour({1, 0, 0}, {0, 0, 1})));
  // Nearer than the origin, so larger than a square there would be.
  EXPECT_TRUE(Near(Pixel(kSide / 2 + 7, kSide / 2 - 7), LitColour({1, 0, 0}, {0, 0, 1})));
}

// Pan moves along the screen's axes, scale grows the model about its origin.
TEST_F(SceneTest, PanAndScaleMoveTheModelOnScreen) {
  AddSquare(0, 0, 0, 0.5f).pMaterial = AddMaterial(1, 0, 1, 0);
  const Rgb green = LitColour({0, 1, 0}, {0, 0, 1});
  const int right = kSide / 2 + 12;

  Render();
  EXPECT_TRUE(Near(Pixel(right, kSide / 2), {0, 0, 0}, 0));
  MoveCamera(m_doc, [&](scene::Camera& camera) { camera.dPanX = 1.5; });
  MoveCamera(m_doc, [&](scene::Camera& camera) {
    camera.dRotY = 180.0;
  });  // turned round, the pan still goes right on screen
  MoveCamera(m_doc, [&](scene::Camera& camera) {
    camera.dRotX = 180.0;
  });  // and upright again, so the clockwise side shows
  Render();
  EXPECT_TRUE(Near(Pixel(right, kSide / 2), green));

  MoveCamera(m_doc, [&](scene::Camera& camera) { camera.dPanX = 0.0; });
  MoveCamera(m_doc, [](scene::Camera& camera) { camera.dRotX = camera.dRotY = 0.0; });
  MoveCamera(m_doc, [&](scene::Camera& camera) { camera.dScale = 4.0; });
  Render();
  // Normals are not renormalised, so the scale shortens them to a quarter
  // and the diffuse term with them.
  EXPECT_TRUE(Near(Pixel(right, kSide / 2), LitColour({0, 1, 0}, {0, 0, 0.25})));
}

// Indices outside the arrays come only from a model filled by hand, but
// drawing must stay inside the arrays all the same.
TEST_F(SceneTest, OutOfRangeIndicesAreSkippedNotFollowed) {
  Material* textured = AddMaterial(0, 0, 0, 0);
  Polygon& square = AddSquare(0, 0, 0, 1);
  square.pMaterial = textured;
  IndexPool& pool = m_content.m_indexPool;
  square.vecTexIdx = pool.Add({0, 70000, -3, 2});  // bad texture coordinates
  textured->nTexIndex = 5;                         // no such texture name
  Polygon broken;
  broken.nVerts = 9;  // more corners than indices
  broken.vecVertIdx = pool.Add({0, 1, 99999, -1});
  broken.vecTexIdx = pool.Add({0});
  m_content.m_vecPolygons.push_back(broken);
  m_content.m_nPolygons = 5;  // more than there are
  Render();
  EXPECT_TRUE(Near(Centre(), LitColour({1, 1, 1}, {0, 0, 1})));
}

struct ProjectionCase {
  int cx;
  int cy;
  double aspect;
};

// The projection's first diagonal element is cot(22.5 degrees) / aspect.
TEST_F(SceneTest, ProjectionUsesTheAspectRuleAndFixedState) {
  const ProjectionCase cases[] = {{200, 100, 2.0}, {64, 64, 1.0}, {100, 0, 100.0}, {3, 4, 0.75}};
  const double f = 1.0 / std::tan(std::numbers::pi / 8.0);
  for (const ProjectionCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.cx) + "x" + std::to_string(c.cy));
    m_doc.SetupScene(c.cx, c.cy);
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[0], f / c.aspect, 1e-6);
    EXPECT_NEAR(projection[5], f, 1e-6);
    // Near 1 and far 10000 give these two depth terms.
    EXPECT_NEAR(projection[10], -(10000.0 + 1.0) / (10000.0 - 1.0), 1e-6);
    EXPECT_NEAR(projection[14], -2.0 * 10000.0 * 1.0 / (10000.0 - 1.0), 1e-4);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], c.cx);
    EXPECT_EQ(viewport[3], c.cy);
  }

  GLint value = 0;
  glGetIntegerv(GL_CULL_FACE_MODE, &value);
  EXPECT_EQ(value, GL_FRONT);
  glGetIntegerv(GL_ALPHA_TEST_FUNC, &value);
  EXPECT_EQ(value, GL_GREATER);
  GLfloat reference = 0;
  glGetFloatv(GL_ALPHA_TEST_REF, &reference);
  EXPECT_FLOAT_EQ(reference, 0.5f);
  glGetIntegerv(GL_SHADE_MODEL, &value);
  EXPECT_EQ(value, GL_SMOOTH);
  glGetIntegerv(GL_MATRIX_MODE, &value);
  EXPECT_EQ(value, GL_MODELVIEW);
  for (GLenum cap :
       {GL_COLOR_MATERIAL, GL_LIGHTING, GL_LIGHT0, GL_DEPTH_TEST, GL_CULL_FACE, GL_ALPHA_TEST}) {
    EXPECT_TRUE(glIsEnabled(cap)) << std::hex << cap;
  }
  EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
}

TEST_F(SceneTest, LightAndClearColourComeFromTheScene) {
  m_doc.SetBackground(0.25, 0.5, 1.0);
  m_doc.SetupScene(kSide, kSide);
  struct LightCase {
    GLenum parameter;
    std::array<float, 4> value;
  };
  const LightCase cases[] = {{GL_AMBIENT, {0.6f, 0.6f, 0.6f, 0.6f}},
                             {GL_DIFFUSE, {0.3f, 0.3f, 0.3f, 0.3f}},
                             {GL_SPECULAR, {1, 1, 1, 1}},
                             {GL_POSITION, {1, 1, 1, 0}}};
  for (const LightCase& c : cases) {
    GLfloat value[4] = {};
    glGetLightfv(GL_LIGHT0, c.parameter, value);
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(value[i], c.value[i]) << std::hex << c.parameter;
  }
  GLfloat clear[4] = {};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_FLOAT_EQ(clear[0], 0.25f);
  EXPECT_FLOAT_EQ(clear[1], 0.5f);
  EXPECT_FLOAT_EQ(clear[2], 1.0f);
  EXPECT_FLOAT_EQ(clear[3], 1.0f);
}

}  // namespace
