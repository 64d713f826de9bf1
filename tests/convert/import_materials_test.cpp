// What materials become in an import: names fitted and told, see-through
// textures named "t_", colours stored for the palette that shows them,
// repeats shared, and too many merged by colour only when asked.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "convert/import_model.h"
#include "model/palette_files.h"

namespace {

// One triangle per material, the triangles named in colors coloured so.
ImportScene SceneOf(const std::vector<ImportMaterial>& materials,
                    const std::map<std::size_t, std::array<float, 4>>& colors = {}) {
  ImportScene scene;
  scene.materials = materials;
  ImportNode root{"root", -1, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, {}};
  for (std::size_t i = 0; i < materials.size(); ++i) {
    ImportMesh mesh;
    mesh.material = static_cast<int>(i);
    const auto x = static_cast<float>(i);
    mesh.positions = {{x, 0, 0}, {x + 1, 0, 0}, {x, 1, 0}};
    if (const auto it = colors.find(i); it != colors.end()) mesh.colors.assign(3, it->second);
    mesh.faceSizes = {3};
    mesh.indices = {0, 1, 2};
    root.meshes.push_back(static_cast<int>(i));
    scene.meshes.push_back(mesh);
  }
  scene.nodes = {root};
  return scene;
}

ImportMaterial Colour(const std::string& name, float r, float g, float b) {
  ImportMaterial m;
  m.name = name;
  m.color = {r, g, b, 1};
  return m;
}

ImportMaterial Textured(const std::string& name, ImportAlpha alpha) {
  ImportMaterial m;
  m.name = name;
  m.alpha = alpha;
  m.width = m.height = 2;
  m.rgba.assign(16, 200);
  return m;
}

TEST(ImportMaterials, NamesKindsAndColoursAsTheViewerNeedsThem) {
  const std::vector<PaletteEntry> palette(256, PaletteEntry{200, 200, 200});
  const ImportScene scene =
      SceneOf({Textured("Glass pane", ImportAlpha::kBlend),
               Textured("t_wood", ImportAlpha::kOpaque), Colour("paint", 1.0f, 0.5f, 0.0f),
               Colour("paint", 1.0f, 0.5f, 0.0f), Colour("A very long material name", 0, 0, 1),
               Colour("Paint", 0.2f, 0.2f, 0.2f), Colour("tinted", 1, 1, 1)},
              {{6, {0.5f, 0.25f, 1.0f, 1.0f}}});
  const struct {
    const char* name;
    int kind;
    std::array<float, 3> stored;  // as the file holds it, for San Francisco
  } expected[] = {
      {"t_Glass_pane", kTexturedKind, {}},
      {"wood", kTexturedKind, {}},
      {"paint", kColourKind, {0.0f, 0.5f, 1.0f}},  // red and blue exchanged
      {"A_very_long_mate", kColourKind, {1, 0, 0}},
      {"Paint2", kColourKind, {0.2f, 0.2f, 0.2f}},   // "paint" ignoring case
      {"tinted", kColourKind, {1.0f, 0.25f, 0.5f}},  // its vertex colour
  };
  ImportedModel out;
  const ImportResult result =
      BuildImportedModel(scene, {"m", 1.0, false, kSanFranciscoRegion}, palette, out);
  ASSERT_TRUE(result.Ok()) << result.reason;
  const std::vector<Material>& materials = out.content.m_vecMaterials;
  ASSERT_EQ(materials.size(), std::size(expected));  // the second "paint" shares the first
  for (std::size_t i = 0; i < materials.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(materials[i].strName, expected[i].name);
    EXPECT_EQ(materials[i].nKind, expected[i].kind);
    if (expected[i].kind == kColourKind) {
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(materials[i].fColor[k], expected[i].stored[k], 1e-6);
    }
  }
  ASSERT_EQ(out.textures.size(), 2u);
  EXPECT_EQ(out.textures[0].fileName, "t_Glass_pane.mip");
  EXPECT_EQ(out.textures[1].fileName, "wood.mip");
  // Every name changed is told, and no other.
  EXPECT_EQ(result.notes.size(), 4u);

  // Seattle snaps colours without exchanging them.
  ImportedModel seattle;
  ASSERT_TRUE(BuildImportedModel(scene, {"m", 1.0, false, kSeattleRegion}, palette, seattle).Ok());
  EXPECT_FLOAT_EQ(seattle.content.m_vecMaterials[2].fColor[0], 1.0f);
}

TEST(ImportMaterials, MoreThanTheFormatHoldsAreRefusedOrMergedByColour) {
  std::vector<ImportMaterial> many;
  for (int i = 0; i < 300; ++i)
    many.push_back(
        Colour("m" + std::to_string(i), (i % 10) / 9.0f, (i / 10 % 10) / 9.0f, (i / 100) / 2.0f));
  const ImportScene scene = SceneOf(many);
  ImportedModel out;
  const ImportResult refused = BuildImportedModel(scene, {"m"}, {}, out);
  EXPECT_EQ(refused.status, ImportStatus::kTooLarge);
  EXPECT_EQ(refused.reason, "has 300 materials; an LGMD model holds at most 255");

  const ImportResult merged = BuildImportedModel(scene, {"m", 1.0, true, kSeattleRegion}, {}, out);
  ASSERT_TRUE(merged.Ok()) << merged.reason;
  EXPECT_LE(out.content.m_vecMaterials.size(), 255u);
  EXPECT_GT(out.content.m_vecMaterials.size(), 100u);
  // Each polygon keeps a colour near its own.
  for (std::size_t i = 0; i < out.content.m_vecPolygons.size(); ++i) {
    const Polygon& p = out.content.m_vecPolygons[i];
    const Material& m = out.content.m_vecMaterials[static_cast<std::size_t>(p.nMaterialId)];
    for (int k = 0; k < 3; ++k)
      EXPECT_NEAR(m.fColor[k], many[i].color[static_cast<std::size_t>(k)], 0.11) << i;
  }
}

TEST(ImportMaterials, CountsAreGroupedByThousands) {
  const struct {
    std::size_t n;
    const char* text;
  } cases[] = {{0, "0"}, {999, "999"}, {1000, "1,000"}, {73562, "73,562"}, {1234567, "1,234,567"}};
  for (const auto& c : cases) EXPECT_EQ(GroupedCount(c.n), c.text);
}

}  // namespace
