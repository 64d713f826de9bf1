// The open sequence end to end: a model made by the builder, palettes and
// textures written beside it, an offscreen OpenGL context for the texture
// upload, and the recording platform layer to see what the user would see.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "doc/zorvik_doc.h"
#include "doc_fixture.h"
#include "lgmd_builder/lgmd_builder.h"
#include "render/headless_gl.h"
#include "support/doc_access.h"

namespace fs = std::filesystem;

namespace {

using platform::EventKind;
using platform::MsgIcon;
using platform::RecordedEvent;
using Events = std::vector<RecordedEvent>;

// Entry n of a test palette is (n, n, n) except entry 1, which tells the two
// files apart.
void WritePalette(const std::string& path, int red, int green, int blue) {
  std::ofstream out(path);
  out << "JASC-PAL 0100 256\n";
  for (int n = 0; n < 256; ++n) {
    if (n == 1) {
      out << red << ' ' << green << ' ' << blue << '\n';
    } else {
      out << n << ' ' << n << ' ' << n << '\n';
    }
  }
}

const PaletteEntry kSanFranciscoEntry1 = {30, 20, 10};  // stored blue, green, red
const PaletteEntry kSeattleEntry1 = {50, 100, 200};

// Three textured materials ("wing", "tail.tga", "body") and one colour
// material, each on one triangle; the vertices span (-1,-2,-3)..(1,2,3).
lgmd::ModelDesc TexturedModel() {
  lgmd::ModelDesc desc;
  desc.name = "plane";
  desc.materials = {{"wing", 0, 1, 1, 0, 0},
                    {"tail.tga", 0, 2, 2, 0, 0},
                    {"body", 0, 3, 3, 0, 0},
                    {"paint", 1, 4, 40, 80, 120}};
  desc.texCoords = {{0.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, 1.0f}};
  desc.vertices = {
      {-1.0f, -2.0f, -3.0f}, {1.0f, 2.0f, 3.0f}, {1.0f, -2.0f, 0.0f}, {0.0f, 0.0f, 0.0f}};
  desc.normals = {{0.0f, 0.0f, 1.0f}};
  for (std::int16_t id = 1; id <= 4; ++id) {
    lgmd::BuilderPolygon polygon;
    polygon.materialId = id;
    polygon.vertIdx = {0, 1, static_cast<std::int16_t>(id % 2 == 0 ? 2 : 3)};
    polygon.texIdx = {0, 1, 2};
    desc.polygons.push_back(polygon);
  }
  return desc;
}

class LoadModelTest : public DocTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_gl.Create(16, 16)) << m_gl.error();
    fs::create_directories(File("bin"));
    fs::create_directories(File("models"));
    AppPaths().SetBaseDir(File("bin/"));
    WritePalette(File("bin/sanfran.pal"), 10, 20, 30);
    WritePalette(File("bin/seattle.pal"), 200, 100, 50);
  }

  std::string WriteModel(const lgmd::ModelDesc& desc, const std::string& name = "plane.bin") {
    const std::string path = File("models/" + name);
    EXPECT_TRUE(lgmd::WriteFile(path, lgmd::Build(desc)));
    return path;
  }

  void WriteMip(const std::string& name) {
    ASSERT_TRUE(lgmd::WriteFile(File("models/" + name), lgmd::BuildMip(2, 2, {0, 1, 2, 3})));
  }

  // Camera values no fit would produce, to see which ones a load touched.
  static void Scramble(CZorvikDoc& doc) { doc.SetCamera(kScrambled); }

  // Every camera value and the fit distance, for one comparison.
  static std::vector<double> CameraOf(const CZorvikDoc& doc) {
    const scene::Camera& c = doc.Camera();
    return {c.dRotX, c.dRotY, c.dRotZ, c.dScale, c.dDistance, c.dPanX, c.dPanY, doc.FitDistance()};
  }
  // A camera fitted at `distance`: unturned, unpanned, unscaled.
  static std::vector<double> Fitted(double distance) {
    return {0.0, 0.0, 0.0, 1.0, distance, 0.0, 0.0, distance};
  }

  static constexpr scene::Camera kScrambled{10.0, 20.0, 30.0, 2.5, 30.0, -4.0, 5.0};

  HeadlessGlContext m_gl;
};

TEST_F(LoadModelTest, OpensTexturedModelAndListsEveryMissingTexture) {
  const std::string path = WriteModel(TexturedModel());
  WriteMip("wing.mip");
  CZorvikDoc doc;
  Scramble(doc);

  const OpenResult opened = doc.LoadModel(path, 0);
  ASSERT_TRUE(opened.Ok());

  // Both missing files in material order, in the viewer's words, and not
  // a word shown by the document itself.
  EXPECT_EQ(opened.MissingTexturesMessage(), "Missing Textures:\r\n\r\ntail.mip\r\nbody.mip");
  EXPECT_EQ(opened.ErrorMessage(), "");
  EXPECT_EQ(m_ui.events(), Events{});

  // Camera fitted to the box: largest extent 6.
  EXPECT_EQ(CameraOf(doc), Fitted(9.0));

  // Textures set up: three entries, the present one uploaded.
  const CModel& model = doc.Model();
  ASSERT_EQ(doc.Textures().Count(), 3);
  EXPECT_NE(model.Textures()[0].pPixels, nullptr);
  EXPECT_NE(model.Textures()[0].nNumber, -1);
  EXPECT_EQ(model.Textures()[1].nNumber, -1);
  EXPECT_EQ(model.Textures()[2].nNumber, -1);
  EXPECT_EQ(glIsTexture(doc.Textures().Name(0)), GL_TRUE);
  EXPECT_EQ(model.Palette().at(1), kSanFranciscoEntry1);

  int polygons = 0, vertices = 0, materials = 0;
  doc.GetModelCounts(&polygons, &vertices, &materials);
  EXPECT_EQ(polygons, 4);
  EXPECT_EQ(vertices, 4);
  EXPECT_EQ(materials, 4);
}

TEST_F(LoadModelTest, NoMessageWhenAllTexturesArePresent) {
  const std::string path = WriteModel(TexturedModel());
  WriteMip("wing.mip");
  WriteMip("tail.mip");
  WriteMip("body.mip");
  CZorvikDoc doc;
  const OpenResult opened = doc.LoadModel(path, 1);
  ASSERT_TRUE(opened.Ok());
  EXPECT_EQ(opened.MissingTexturesMessage(), "");
  EXPECT_EQ(doc.Camera().dDistance, 9.0);
}

TEST_F(LoadModelTest, OnlyRegionOneReadsTheSeattleFile) {
  const std::string path = WriteModel(TexturedModel());
  struct Case {
    int palette;
    PaletteEntry entry1;
  };
  const Case cases[] = {
      {0, kSanFranciscoEntry1},
      {1, kSeattleEntry1},
      {2, kSanFranciscoEntry1},
      {-1, kSanFranciscoEntry1},
  };
  for (const Case& c : cases) {
    CZorvikDoc doc;
    EXPECT_TRUE(doc.LoadModel(path, c.palette).Ok()) << c.palette;
    ASSERT_EQ(doc.Model().Palette().size(), 256u) << c.palette;
    EXPECT_EQ(doc.Model().Palette()[1], c.entry1) << c.palette;
  }

  // And the path really is the base directory's: without the file the
  // choice fails.
  fs::remove(File("bin/seattle.pal"));
  CZorvikDoc doc;
  EXPECT_EQ(doc.LoadModel(path, 1).status, OpenStatus::kPaletteUnreadable);
  EXPECT_TRUE(doc.LoadModel(path, 0).Ok());
}

TEST_F(LoadModelTest, SinglePointModelFitsAtDistanceZero) {
  lgmd::ModelDesc desc = TexturedModel();
  for (auto& vertex : desc.vertices) vertex = {2.0f, -3.0f, 4.0f};
  const std::string path = WriteModel(desc);
  CZorvikDoc doc;
  Scramble(doc);
  ASSERT_TRUE(doc.LoadModel(path, 0).Ok());
  EXPECT_EQ(CameraOf(doc), Fitted(0.0));
}

TEST_F(LoadModelTest, PaletteFailureLeavesCameraAndTextures) {
  const std::string path = WriteModel(TexturedModel());
  fs::remove(File("bin/sanfran.pal"));
  CZorvikDoc doc;
  Scramble(doc);

  const OpenResult opened = doc.LoadModel(path, 0);
  EXPECT_EQ(opened.status, OpenStatus::kPaletteUnreadable);
  // The message says which file and why.
  const std::string palette = File("bin/sanfran.pal");
  EXPECT_EQ(opened.ErrorMessage(),
            "Error Loading Palette\r\n" + palette + ": No such file or directory");
  // The model was read, but nothing after the palette ran.
  EXPECT_EQ(doc.Model().PolygonCount(), 4);
  EXPECT_EQ(doc.Textures().Count(), 0);
  EXPECT_TRUE(doc.Model().Textures().empty());
  // The scrambled camera, untouched, and no fit.
  EXPECT_EQ(CameraOf(doc), (std::vector<double>{10.0, 20.0, 30.0, 2.5, 30.0, -4.0, 5.0, 0.0}));
}

// A file that cannot be read must not disturb what is open: same model,
// palette, textures and camera, one message, and the arrow back.
TEST_F(LoadModelTest, UnreadableModelChangesNothing) {
  const std::string good = WriteModel(TexturedModel());
  WriteMip("wing.mip");

  std::vector<std::uint8_t> truncated = lgmd::Build(TexturedModel());
  truncated.resize(truncated.size() / 2);
  ASSERT_TRUE(lgmd::WriteFile(File("models/half.bin"), truncated));
  std::vector<std::uint8_t> wrongMagic = lgmd::Build(TexturedModel());
  wrongMagic[0] = 'X';
  ASSERT_TRUE(lgmd::WriteFile(File("models/magic.bin"), wrongMagic));
  ASSERT_TRUE(lgmd::WriteFile(File("models/empty.bin"), {}));

  const std::string bad[] = {File("models/missing.bin"), File("models/half.bin"),
                             File("models/magic.bin"), File("models/empty.bin"), File("models")};
  for (const std::string& path : bad) {
    CZorvikDoc doc;
    ASSERT_TRUE(doc.LoadModel(good, 0).Ok());
    Scramble(doc);
    MoveCamera(doc, [&](scene::Camera& camera) { camera.dDistance = 42.0; });
    const unsigned int firstName = doc.Textures().Name(0);
    const float colour0 = doc.Model().Materials()[3].fColor[0];
    m_ui.ClearLog();

    // Seattle would snap the colours and change the palette if it ran.
    const OpenResult opened = doc.LoadModel(path, 1);
    EXPECT_EQ(opened.status, OpenStatus::kModelUnreadable) << path;
    // The heading, then the file and the reader's reason.
    const std::string message = opened.ErrorMessage();
    EXPECT_EQ(message.rfind("Error Loading Model\r\n" + path + ": ", 0), 0u) << message;
    EXPECT_GT(message.size(), ("Error Loading Model\r\n" + path + ": ").size());
    EXPECT_EQ(doc.Model().PolygonCount(), 4) << path;
    EXPECT_EQ(doc.Model().Palette().at(1), kSanFranciscoEntry1) << path;
    EXPECT_EQ(doc.Model().Materials()[3].fColor[0], colour0) << path;
    EXPECT_EQ(doc.Textures().Name(0), firstName) << path;
    EXPECT_EQ(glIsTexture(firstName), GL_TRUE) << path;
    EXPECT_EQ(doc.Camera().dDistance, 42.0) << path;
    EXPECT_EQ(doc.Camera().dRotZ, 30.0) << path;
  }
}

}  // namespace
