// The export scene: what the glTF and OBJ files are made from, checked
// against what the viewer draws for a builder-made model read, placed,
// palette-converted and textured through the real sequence.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "convert/export_formats.h"
#include "convert/export_scene.h"
#include "io/text.h"
#include "model/model.h"
#include "model/placement.h"
#include "support/export_examples.h"
#include "support/temp_dir.h"

namespace {

constexpr int kSeattle = 1;  // snaps colours, draws polygons without material black

// A palette whose entry i is (i, 255 - i, 7): red rises with the index.
std::string WritePalette(const ScopedTempDir& dir) {
  const std::string path = dir.File("test.pal");
  std::ofstream out(path);
  out << "JASC-PAL 0100 256\n";
  for (int i = 0; i < 256; ++i) out << i << " " << 255 - i << " 7\n";
  return path;
}

class ExportSceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string path = lgmd::WriteExportExample(m_dir.path().string(), "sampler");
    ASSERT_TRUE(m_model.Read(path).ok());
    ASSERT_TRUE(m_model.LoadPalette(WritePalette(m_dir)).ok());
    m_model.ApplyPalette(kSeattle);
    EXPECT_EQ(m_model.ReadTextureImages(path), "\r\nlost.mip");
    m_scene = BuildExportScene(m_model);
  }

  const ExportMaterial* Material(const std::string& name) const {
    for (const ExportMaterial& m : m_scene.materials) {
      if (m.name == name) return &m;
    }
    return nullptr;
  }

  ScopedTempDir m_dir;
  CModel m_model;
  ExportScene m_scene;
};

TEST_F(ExportSceneTest, MaterialsLookAsTheViewerDrawsThem) {
  const float* paint = m_model.Materials()[0].fColor;
  struct Case {
    std::string name;
    std::array<float, 3> color;
    bool textured;
    bool transparent;
  };
  const std::vector<Case> cases = {
      {"paint", {paint[0], paint[1], paint[2]}, false, false},
      {"skin", {1, 1, 1}, true, false},
      {"t_glass", {1, 1, 1}, true, true},
      {"lost", {1, 1, 1}, false, false},  // white, as an unreadable texture draws
      {kNoMaterialName, {0, 0, 0}, false, false},
  };
  ASSERT_EQ(m_scene.materials.size(), cases.size());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ExportMaterial* material = Material(c.name);
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(material->color, c.color);
    ASSERT_EQ(material->image >= 0, c.textured);
    if (c.textured) {
      const ExportImage& image = m_scene.images[static_cast<std::size_t>(material->image)];
      EXPECT_EQ(image.transparent, c.transparent);
      EXPECT_EQ(image.width, 4);
      EXPECT_EQ(image.height, 4);
    }
  }
}

TEST_F(ExportSceneTest, TexturesKeepTheirRowsAndPaletteColours) {
  const ExportImage& skin = m_scene.images[static_cast<std::size_t>(Material("skin")->image)];
  const ExportImage& glass = m_scene.images[static_cast<std::size_t>(Material("t_glass")->image)];
  // Row 0 holds index 200, row 3 index 100: (red, green, blue, alpha).
  const std::vector<std::uint8_t> first(skin.rgba.begin(), skin.rgba.begin() + 4);
  const std::vector<std::uint8_t> last(skin.rgba.end() - 4, skin.rgba.end());
  EXPECT_EQ(first, (std::vector<std::uint8_t>{200, 55, 7, 255}));
  EXPECT_EQ(last, (std::vector<std::uint8_t>{100, 155, 7, 255}));
  // Index 0 of a see-through texture is a hole; its other texels are not.
  EXPECT_EQ(glass.rgba[3], 0);
  EXPECT_EQ(glass.rgba.back(), 255);
}

TEST_F(ExportSceneTest, NodesHoldThePlacedPolygonsOfTheirPart) {
  struct Case {
    std::string name;
    int parent;
    float z;  // every placed corner of the node lies at this depth
    int triangles;
  };
  const std::vector<Case> cases = {
      {"body", -1, 0, 1}, {"object 0", -1, 5, 4}, {"object 1", 0, 5, 4}};
  ASSERT_EQ(m_scene.nodes.size(), cases.size());
  EXPECT_EQ(m_scene.name, "sampler");
  for (std::size_t n = 0; n < cases.size(); ++n) {
    SCOPED_TRACE(cases[n].name);
    const ExportNode& node = m_scene.nodes[n];
    EXPECT_EQ(node.name, cases[n].name);
    EXPECT_EQ(node.parent, cases[n].parent);
    int triangles = 0;
    for (const ExportPrimitive& primitive : node.primitives) {
      triangles += static_cast<int>(primitive.indices.size() / 3);
      for (const ExportVertex& v : primitive.vertices) EXPECT_EQ(v.position[2], cases[n].z);
    }
    EXPECT_EQ(triangles, cases[n].triangles);
  }
  // The inner part is moved by its own matrix and then by its parent's.
  EXPECT_EQ(m_scene.nodes[2].matrix[9], 1.0f);
  EXPECT_EQ(m_scene.nodes[1].matrix[11], 5.0f);
  EXPECT_EQ(CountTriangles(m_scene), static_cast<std::size_t>(lgmd::kExampleTriangles));
}

// Every polygon of the example is clockwise seen from +z, the side the
// viewer shows; exported, every triangle turns counter-clockwise towards
// +z and every normal is a unit vector.
TEST_F(ExportSceneTest, ShownSideBecomesTheFrontFaceWithUnitNormals) {
  for (const ExportNode& node : m_scene.nodes) {
    for (const ExportPrimitive& primitive : node.primitives) {
      for (std::size_t i = 0; i < primitive.indices.size(); i += 3) {
        const auto& a = primitive.vertices[primitive.indices[i]].position;
        const auto& b = primitive.vertices[primitive.indices[i + 1]].position;
        const auto& c = primitive.vertices[primitive.indices[i + 2]].position;
        const float crossZ = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
        EXPECT_GT(crossZ, 0.0f) << node.name << " triangle " << i / 3;
      }
      for (const ExportVertex& v : primitive.vertices) {
        EXPECT_NEAR(std::hypot(v.normal[0], v.normal[1], v.normal[2]), 1.0, 1e-6) << node.name;
      }
    }
  }
}

TEST(ExportSceneNormals, ANormalWithoutDirectionTakesTheShownSide) {
  lgmd::ModelDesc desc = lgmd::ExportExampleModel();
  desc.normals = {{0, 0, 0}};
  const auto bytes = lgmd::Build(desc);
  CModel model;
  ASSERT_TRUE(model.ReadFromMemory(bytes.data(), bytes.size()).ok());
  const ExportScene scene = BuildExportScene(model);
  for (const ExportNode& node : scene.nodes) {
    for (const ExportPrimitive& primitive : node.primitives) {
      for (const ExportVertex& v : primitive.vertices) {
        EXPECT_EQ(v.normal, (std::array<float, 3>{0, 0, 1})) << node.name;
      }
    }
  }
}

TEST(SubObjectOfEachPolygon, FollowsPlacementsForwardMovingCursor) {
  // Ranges 0..9 and 10..19; a polygon inside the second range but not at
  // its start is tested against the first range only.
  lgmd::ModelDesc desc;
  desc.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  desc.normals = {{0, 0, 1}};
  for (std::int16_t aux : {0, 5, 12, 10, 3}) {
    lgmd::BuilderPolygon polygon;
    polygon.vertIdx = {0, 1, 2};
    polygon.auxIdx.assign(3, aux);
    desc.polygons.push_back(polygon);
  }
  lgmd::BuilderObject first;
  first.rangeLength = 10;
  lgmd::BuilderObject second;
  second.rangeFirst = 10;
  second.rangeLength = 10;
  desc.objects = {lgmd::BuilderObject{}, first, second};
  const auto bytes = lgmd::Build(desc);
  CModel model;
  ASSERT_TRUE(model.ReadFromMemory(bytes.data(), bytes.size()).ok());
  EXPECT_EQ(SubObjectOfEachPolygon(model.Content()),
            (std::vector<int>{0, 0, kNoSubObject, 1, kNoSubObject}));
}

TEST(ExportNames, FileNamesAndTextAreSafe) {
  EXPECT_EQ(SafeUniqueNames({"fabric.wing", "Fabric_wing", "", "a b/c", "fabric_wing"}),
            (std::vector<std::string>{"fabric_wing", "Fabric_wing_2", "unnamed", "a_b_c",
                                      "fabric_wing_3"}));
  EXPECT_EQ(Latin1ToUtf8(std::string("Caf\xE9\x01!", 6), true), "Caf\xC3\xA9!");
  EXPECT_EQ(PathStem("dir.v2/plane.GLTF"), "dir.v2/plane");
  EXPECT_EQ(PathStem("dir.v2/plane"), "dir.v2/plane");

  struct Case {
    std::string path;
    bool known;
    ExportFormat format;
  };
  for (const Case& c : std::vector<Case>{{"a.GLB", true, ExportFormat::kGlb},
                                         {"a.b/c.Obj", true, ExportFormat::kObj},
                                         {"x.gltf", true, ExportFormat::kGltf},
                                         {"x.cob", true, ExportFormat::kCob},
                                         {"x.png", false, {}},
                                         {"glb", false, {}}}) {
    ExportFormat format{};
    EXPECT_EQ(ExportFormatOfPath(c.path, format), c.known) << c.path;
    if (c.known) {
      EXPECT_EQ(format, c.format) << c.path;
    }
  }
}

TEST_F(ExportSceneTest, EachFormatBuildsItsFilesBesideTheMainOne) {
  struct Case {
    ExportFormat format;
    std::string out;
    std::vector<std::string> paths;  // main file last
  };
  const std::string d = m_dir.path().string() + "/";
  const std::vector<Case> cases = {
      {ExportFormat::kGlb, d + "p.glb", {d + "p.glb"}},
      {ExportFormat::kGltf,
       d + "p.gltf",
       {d + "p.skin.png", d + "p.t_glass.png", d + "p_geometry.bin", d + "p.gltf"}},
      {ExportFormat::kObj,
       d + "p.obj",
       {d + "p.skin.png", d + "p.t_glass.png", d + "p.mtl", d + "p.obj"}},
      {ExportFormat::kCob, d + "p.cob", {d + "p.cob"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.out);
    std::vector<OutputFile> files;
    const BuildResult built = BuildExportFiles(m_model, c.format, c.out, files);
    ASSERT_TRUE(built.Ok()) << built.reason;
    std::vector<std::string> paths;
    for (const OutputFile& file : files) {
      paths.push_back(file.path);
      EXPECT_FALSE(file.bytes.empty()) << file.path;
    }
    EXPECT_EQ(paths, c.paths);
  }
  // Only the see-through texture is also the OBJ material's opacity.
  std::vector<OutputFile> files;
  ASSERT_TRUE(BuildExportFiles(m_model, ExportFormat::kObj, d + "p.obj", files).Ok());
  const std::string library(files[2].bytes.begin(), files[2].bytes.end());
  EXPECT_NE(library.find("map_d p.t_glass.png"), std::string::npos) << library;
  EXPECT_EQ(library.find("map_d p.skin.png"), std::string::npos) << library;
}

}  // namespace
