// The import's assimp-free half: the worker's wire format read as the
// untrusted input it is, and a scene's node tree made into sub-objects
// that placement puts back where the source had every corner.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "convert/import_model.h"
#include "convert/import_wire.h"
#include "model/lgmd_writer.h"
#include "model/model.h"

namespace {

using Matrix = std::array<float, 16>;

Matrix Transform(float angle, float sx, float sy, float sz, float tx, float ty, float tz) {
  const float c = std::cos(angle), s = std::sin(angle);
  // A turn about Y, then the scale, then the shift; rows first.
  return {c * sx, 0, s * sz, tx, 0, sy, 0, ty, -s * sx, 0, c * sz, tz, 0, 0, 0, 1};
}

ImportMesh Cube(int material) {
  ImportMesh mesh;
  mesh.material = material;
  for (int i = 0; i < 8; ++i)
    mesh.positions.push_back({i & 1 ? 1.0f : -1.0f, i & 2 ? 1.0f : -1.0f, i & 4 ? 1.0f : -1.0f});
  // Counter-clockwise seen from outside.
  const std::uint32_t faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                     {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  for (const auto& face : faces) {
    mesh.faceSizes.push_back(4);
    mesh.indices.insert(mesh.indices.end(), face, face + 4);
  }
  return mesh;
}

// A root without meshes; a turned, scaled and shifted child; its child
// mirrored (its faces turn inside out unless the import turns them back);
// a second child of the first, which no record can link; a mesh at the
// root's own frame.
ImportScene TreeScene() {
  ImportScene scene;
  scene.unitScale = 0.5;
  ImportMaterial red;
  red.name = "red paint, glossy";
  red.color = {1, 0, 0, 1};
  scene.materials = {red};
  for (int i = 0; i < 4; ++i) scene.meshes.push_back(Cube(0));
  scene.nodes.push_back({"root", -1, Transform(0, 1, 1, 1, 0, 0, 0), {}});
  scene.nodes.push_back({"fuselage", 0, Transform(0.5f, 2, 1, 3, 4, 1, -2), {0}});
  scene.nodes.push_back({"mirror", 1, Transform(1.1f, -1, 1, 1, 0, 3, 0), {1}});
  scene.nodes.push_back({"sibling", 1, Transform(-0.3f, 1, 0.5f, 1, -5, 0, 0), {2}});
  scene.nodes.push_back({"body", 0, Transform(0, 1, 1, 1, 0, 0, 0), {3}});
  return scene;
}

std::array<double, 3> Apply(const Matrix& m, const std::array<double, 3>& p) {
  return {m[0] * p[0] + m[1] * p[1] + m[2] * p[2] + m[3],
          m[4] * p[0] + m[5] * p[1] + m[6] * p[2] + m[7],
          m[8] * p[0] + m[9] * p[1] + m[10] * p[2] + m[11]};
}

// A face of the source in model space, and the middle of its cube, which
// its front faces away from.
struct SourceFace {
  std::vector<std::array<double, 3>> corners;
  std::array<double, 3> outward{};
};

std::array<double, 3> ToModel(const ImportScene& scene, int node, std::array<double, 3> q) {
  for (int up = node; up >= 0; up = scene.nodes[static_cast<std::size_t>(up)].parent) {
    q = Apply(scene.nodes[static_cast<std::size_t>(up)].matrix, q);
  }
  for (double& v : q) v *= scene.unitScale;
  return q;
}

std::vector<SourceFace> SourceFaces(const ImportScene& scene) {
  std::vector<SourceFace> faces;
  for (std::size_t n = 0; n < scene.nodes.size(); ++n) {
    const std::array<double, 3> middle = ToModel(scene, static_cast<int>(n), {0, 0, 0});
    for (int m : scene.nodes[n].meshes) {
      const ImportMesh& mesh = scene.meshes[static_cast<std::size_t>(m)];
      std::size_t at = 0;
      for (std::uint32_t size : mesh.faceSizes) {
        SourceFace face;
        std::array<double, 3> sum{};
        for (std::uint32_t k = 0; k < size; ++k) {
          const auto& p = mesh.positions[mesh.indices[at + k]];
          face.corners.push_back(ToModel(scene, static_cast<int>(n), {p[0], p[1], p[2]}));
          for (int c = 0; c < 3; ++c) sum[c] += face.corners.back()[c] / size;
        }
        for (int c = 0; c < 3; ++c) face.outward[c] = sum[c] - middle[c];
        at += size;
        faces.push_back(face);
      }
    }
  }
  return faces;
}

// Placed, every polygon is a source face with the same corners in the
// same cycle, and the side the viewer shows faces out of its cube, also
// where a mirroring frame turned the source's winding round.
void ExpectFacesWhereTheSourceHadThem(const CModel& model, const ImportScene& scene) {
  auto expected = SourceFaces(scene);
  ASSERT_EQ(model.Polygons().size(), expected.size());
  for (const Polygon& polygon : model.Polygons()) {
    std::vector<std::array<double, 3>> placed;
    for (int index : polygon.vecVertIdx) {
      const Vertex& v = model.Vertices()[static_cast<std::size_t>(index)];
      placed.push_back({v.x, v.y, v.z});
    }
    bool found = false;
    const std::size_t size = placed.size();
    for (auto it = expected.begin(); it != expected.end() && !found; ++it) {
      if (it->corners.size() != size) continue;
      for (std::size_t shift = 0; shift < 2 * size && !found; ++shift) {
        bool same = true;
        for (std::size_t k = 0; k < size && same; ++k) {
          const std::size_t j = shift < size ? (shift + k) % size : (shift + size - k) % size;
          for (int c = 0; c < 3; ++c)
            same = same && std::abs(placed[j][c] - it->corners[k][c]) < 1e-4;
        }
        if (same) {
          const auto& n = it->outward;
          EXPECT_GT(
              n[0] * polygon.dNormal[0] + n[1] * polygon.dNormal[1] + n[2] * polygon.dNormal[2],
              0.0);
          expected.erase(it);
          found = true;
        }
      }
    }
    EXPECT_TRUE(found) << "a polygon is not where any source face was";
  }
}

TEST(Import, PlacementPutsEveryFaceWhereTheSourceTreeHadIt) {
  const ImportScene scene = TreeScene();
  ImportedModel imported;
  const ImportResult result = BuildImportedModel(scene, {"tree"}, {}, imported);
  ASSERT_TRUE(result.Ok()) << result.reason;
  EXPECT_EQ(imported.content.m_vecSubObjects.size(), 3u);  // the body keeps the root's frame

  // In memory, as the viewer shows it, and written and read back.
  CModel model;
  model.Assign(std::move(imported.content));
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(WriteLgmd(model, bytes).ok());
  model.PlaceSubObjects();
  ExpectFacesWhereTheSourceHadThem(model, scene);
  CModel reread;
  ASSERT_TRUE(reread.ReadFromMemory(bytes.data(), bytes.size()).ok());
  ExpectFacesWhereTheSourceHadThem(reread, scene);
  EXPECT_EQ(reread.Materials().at(0).strName, "red_paint__gloss");
}

// A concave face is cut into triangles that cover it once: their areas add
// up to the face's, which a fan from the corner beside the notch overlaps.
TEST(Import, ConcaveFacesAreCutIntoTrianglesThatCoverThemOnce) {
  ImportScene scene;
  scene.materials.emplace_back();
  ImportMesh mesh;
  // An L of area 3, counter-clockwise, starting beside the notch.
  mesh.positions = {{2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}, {0, 0, 0}, {2, 0, 0}};
  mesh.faceSizes = {6};
  mesh.indices = {0, 1, 2, 3, 4, 5};
  scene.meshes = {mesh};
  scene.nodes.push_back({"L", -1, Transform(0, 1, 1, 1, 0, 0, 0), {0}});
  ImportedModel imported;
  ASSERT_TRUE(BuildImportedModel(scene, {"L"}, {}, imported).Ok());
  const ModelContent& content = imported.content;
  EXPECT_EQ(content.m_vecPolygons.size(), 4u);
  double area = 0.0;
  for (const Polygon& p : content.m_vecPolygons) {
    ASSERT_EQ(p.nVerts, 3);
    const Vertex& a = content.m_vecVertices[static_cast<std::size_t>(p.vecVertIdx[0])];
    const Vertex& b = content.m_vecVertices[static_cast<std::size_t>(p.vecVertIdx[1])];
    const Vertex& c = content.m_vecVertices[static_cast<std::size_t>(p.vecVertIdx[2])];
    const double cross = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    EXPECT_LT(cross, 0.0);  // clockwise, as the viewer's front
    area += std::abs(cross) / 2;
  }
  EXPECT_NEAR(area, 3.0, 1e-6);
}

// Every prefix of a scene's bytes is refused with a reason, and bytes
// changed at random either are refused or describe a scene whose indices
// all stay inside their arrays.
TEST(Import, WireFormatRefusesEveryPrefixAndSurvivesDamage) {
  std::vector<std::uint8_t> bytes;
  importwire::Encode(TreeScene(), bytes);
  ImportScene scene;
  std::string error;
  ASSERT_TRUE(importwire::Decode(bytes.data(), bytes.size(), scene, error)) << error;
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    EXPECT_FALSE(importwire::Decode(bytes.data(), size, scene, error)) << size;
    EXPECT_FALSE(error.empty());
  }
  std::mt19937 random(27);
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::uint8_t> damaged = bytes;
    for (int k = 0; k < 3; ++k)
      damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
    if (!importwire::Decode(damaged.data(), damaged.size(), scene, error)) continue;
    for (const ImportMesh& mesh : scene.meshes) {
      for (std::uint32_t index : mesh.indices) ASSERT_LT(index, mesh.positions.size());
      ASSERT_LT(static_cast<std::size_t>(mesh.material), scene.materials.size());
    }
    for (std::size_t n = 0; n < scene.nodes.size(); ++n)
      ASSERT_LT(scene.nodes[n].parent, static_cast<int>(n));
    ImportedModel imported;
    BuildImportedModel(scene, {"damaged"}, {}, imported);
  }
}

}  // namespace
