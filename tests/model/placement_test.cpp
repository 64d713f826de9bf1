#include <gtest/gtest.h>

#include "lgmd_builder/lgmd_builder.h"
#include "model/model.h"
#include "model/placement.h"

namespace {

using lgmd::BuilderObject;
using lgmd::BuilderPolygon;
using lgmd::ModelDesc;

using Matrix = std::array<float, 12>;
constexpr Matrix kQuarterTurnPlus10X = {0, 1, 0, -1, 0, 0, 0, 0, 1, 10, 0, 0};

Matrix Translation(float x, float y, float z) { return {1, 0, 0, 0, 1, 0, 0, 0, 1, x, y, z}; }

BuilderObject Object(Matrix m, std::int16_t first, std::int16_t length, std::int16_t child = -1) {
  BuilderObject o;
  o.matrix = m;
  o.rangeFirst = first;
  o.rangeLength = length;
  o.childLink = child;
  return o;
}

BuilderPolygon Poly(std::vector<std::int16_t> verts, std::int16_t aux) {
  BuilderPolygon p;
  p.vertIdx = verts;
  p.auxIdx.assign(verts.size(), aux);
  return p;
}

// One vertex per polygon corner unless the polygons share them.
ModelDesc Model(std::vector<BuilderObject> subObjects, std::vector<BuilderPolygon> polygons,
                std::vector<std::array<float, 3>> vertices) {
  ModelDesc desc;
  desc.objects.push_back(BuilderObject{});  // root
  for (const auto& o : subObjects) desc.objects.push_back(o);
  desc.polygons = polygons;
  desc.vertices = vertices;
  desc.normals = {{0, 0, 1}};
  return desc;
}

void ReadOrFail(CModel& model, const ModelDesc& desc) {
  const auto bytes = lgmd::Build(desc);
  ASSERT_TRUE(model.ReadFromMemory(bytes.data(), bytes.size()).ok());
}

void ExpectAt(const Vertex& v, float x, float y, float z, int count, const char* what) {
  EXPECT_EQ(v.x, x) << what;
  EXPECT_EQ(v.y, y) << what;
  EXPECT_EQ(v.z, z) << what;
  EXPECT_EQ(v.nCount, count) << what;
}

TEST(Placement, WithoutSubObjectsNothingMoves) {
  CModel model;
  ReadOrFail(model, Model({}, {Poly({0, 1, 2}, 0)}, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}));
  ExpectAt(model.Vertices()[0], 1, 2, 3, 0, "v0");
  ExpectAt(model.Vertices()[2], 7, 8, 9, 0, "v2");
  EXPECT_EQ(model.Content().m_nCurSubObject, 0);
}

TEST(Placement, IdentityMarksButDoesNotMove) {
  CModel model;
  ReadOrFail(model,
             Model({Object(Translation(0, 0, 0), 0, 10)}, {Poly({0, 1, 2}, 3), Poly({2, 3, 4}, 20)},
                   {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {1, 1, 1}, {2, 2, 2}}));
  ExpectAt(model.Vertices()[0], 1, 2, 3, 1, "in range");
  ExpectAt(model.Vertices()[2], 7, 8, 9, 1, "in range, shared with the outsider");
  ExpectAt(model.Vertices()[3], 1, 1, 1, 0, "out of range");
}

TEST(Placement, QuarterTurnThenShift) {
  CModel model;
  ReadOrFail(model, Model({Object(kQuarterTurnPlus10X, 0, 1)}, {Poly({0, 1, 2}, 0)},
                          {{1, 2, 3}, {0, 0, 0}, {1, 0, 0}}));
  ExpectAt(model.Vertices()[0], 8, 1, 3, 1, "(1,2,3)");
  ExpectAt(model.Vertices()[1], 10, 0, 0, 1, "origin");
  ExpectAt(model.Vertices()[2], 10, 1, 0, 1, "x axis");
  // The box describes the positions as stored; normals are not turned.
  EXPECT_EQ(model.Max().x, 1.0f);
  EXPECT_EQ(model.Max().z, 3.0f);
  EXPECT_EQ(model.Vertices()[0].nz, 1.0f);
  EXPECT_EQ(model.Vertices()[0].nx, 0.0f);
}

TEST(Placement, ChainAppliesChildThenParent) {
  // File object 1 links to object 2, so sub-object 1's parent is 0. The
  // link may also point backwards: object 2 linking to object 1 makes 0
  // the child of 1.
  struct Case {
    const char* what;
    std::int16_t link0, link1;
    std::int16_t aux;  // first index of the polygon
    std::array<float, 3> expected;
  };
  const Case cases[] = {
      {"child after parent", 2, -1, 10, {108, 1, 3}},
      {"child before parent", -1, 1, 0, {8, 101, 3}},
      {"parent alone", 2, -1, 0, {101, 2, 3}},
  };
  for (const Case& c : cases) {
    CModel model;
    ReadOrFail(model, Model({Object(Translation(100, 0, 0), 0, 10, c.link0),
                             Object(kQuarterTurnPlus10X, 10, 10, c.link1)},
                            {Poly({0, 1, 2}, c.aux)}, {{1, 2, 3}, {0, 0, 0}, {0, 0, 0}}));
    const Vertex& v = model.Vertices()[0];
    ExpectAt(v, c.expected[0], c.expected[1], c.expected[2], 1, c.what);
  }
}

TEST(Placement, SharedVertexMovesOnce) {
  CModel model;
  ReadOrFail(model,
             Model({Object(Translation(10, 0, 0), 0, 10), Object(Translation(0, 50, 0), 10, 10)},
                   {Poly({0, 1, 2}, 0), Poly({2, 3, 1}, 1), Poly({1, 4, 3}, 10)},
                   {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}}));
  ExpectAt(model.Vertices()[1], 11, 0, 0, 1, "shared by three polygons");
  ExpectAt(model.Vertices()[3], 13, 0, 0, 1, "first placed by sub-object 0");
  ExpectAt(model.Vertices()[4], 4, 50, 0, 1, "only in sub-object 1");
  EXPECT_EQ(model.Content().m_nCurSubObject, 1);
}

TEST(Placement, CursorMovesOnlyAtTheStartOfTheNextRange) {
  CModel model;
  ReadOrFail(
      model,
      Model({Object(Translation(100, 0, 0), 0, 10), Object(Translation(0, 100, 0), 10, 10)},
            {Poly({0}, 0), Poly({1}, 5), Poly({2}, 12), Poly({3}, 10), Poly({}, 0), Poly({4}, 3)},
            {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}, {5, 5, 5}}));
  const auto& v = model.Vertices();
  ExpectAt(v[0], 101, 1, 1, 1, "first index 0");
  ExpectAt(v[1], 102, 2, 2, 1, "first index 5");
  ExpectAt(v[2], 3, 3, 3, 0, "first index 12, tested against 0..9");
  ExpectAt(v[3], 4, 104, 4, 1, "first index 10 moves the cursor");
  ExpectAt(v[4], 5, 5, 5, 0, "the cursor never moves back");
  EXPECT_EQ(model.Content().m_nCurSubObject, 1);
}

TEST(Placement, TransformWalkEndsEvenOnACycle) {
  // The reader refuses such a model; a model set up in code must still not
  // hang the walk.
  ModelContent model;
  model.m_vecSubObjects.resize(2);
  for (SubObject& o : model.m_vecSubObjects) {
    const Matrix m = Translation(1, 0, 0);
    std::copy(m.begin(), m.end(), o.fMatrix);
  }
  model.m_vecSubObjects[0].nParent = 1;
  model.m_vecSubObjects[1].nParent = 0;
  float x = 0, y = 0, z = 0;
  TransformToModel(model, 0, x, y, z);
  EXPECT_EQ(x, 2.0f);
}

TEST(Placement, EachStepRoundsToFloat) {
  // 1 + 2^-30 is not a float: the first step rounds it to 1, so the second
  // step's subtraction of 1 leaves 0. Kept in double it would leave 2^-30.
  const float tiny = 0x1p-30f;
  ModelContent model;
  model.m_vecSubObjects.resize(2);
  Matrix child = Translation(tiny, 0, 0);
  Matrix parent = Translation(-1, 0, 0);
  std::copy(child.begin(), child.end(), model.m_vecSubObjects[0].fMatrix);
  std::copy(parent.begin(), parent.end(), model.m_vecSubObjects[1].fMatrix);
  model.m_vecSubObjects[0].nParent = 1;
  float x = 1, y = 0, z = 0;
  TransformToModel(model, 0, x, y, z);
  EXPECT_EQ(x, 0.0f);
}

}  // namespace
