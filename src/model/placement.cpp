// Sub-object placement. Vertices are stored in the local frame of the
// sub-object they belong to, but no vertex record says which one that is;
// the polygons tell, through the first of their second per-corner indices,
// which falls in a sub-object's range. Polygons of one sub-object follow
// each other in the file, so one forward-moving cursor finds them all.
#include "model/placement.h"

#include <cstddef>
#include <vector>

#include "model/model.h"

namespace {

constexpr int kNotPlaced = 0;
constexpr int kPlaced = 1;

}  // namespace

// Each step of the chain is computed in double and rounded to float, as a
// point in the parent's frame is a float again before the next step.
void TransformToModel(const ModelContent& model, int index, float& x, float& y, float& z) {
  const std::vector<SubObject>& objects = model.m_vecSubObjects;
  const int count = static_cast<int>(objects.size());
  // The reader refuses parent cycles; the step limit keeps the walk finite
  // even for a model put together some other way.
  for (int steps = 0; index >= 0 && index < count && steps < count; ++steps) {
    const SubObject& object = objects[index];
    const float* m = object.fMatrix;
    const double px = x, py = y, pz = z;
    x = static_cast<float>(m[0] * px + m[3] * py + m[6] * pz + m[9]);
    y = static_cast<float>(m[1] * px + m[4] * py + m[7] * pz + m[10]);
    z = static_cast<float>(m[2] * px + m[5] * py + m[8] * pz + m[11]);
    index = object.nParent;
  }
}

// The cursor walks the polygons once and moves at most one step per polygon,
// never back: it reaches the next sub-object only at a polygon opening that
// sub-object's range. A polygon whose first index lies inside a later range
// but not at its start is tested against the current sub-object only.
std::vector<int> SubObjectOfEachPolygon(const ModelContent& model, int* cursorEnd) {
  const std::vector<SubObject>& objects = model.m_vecSubObjects;
  const int objectCount = static_cast<int>(objects.size());
  std::vector<int> owners(model.m_vecPolygons.size(), kNoSubObject);
  int cursor = 0;
  for (std::size_t i = 0; i < model.m_vecPolygons.size(); ++i) {
    const Polygon& polygon = model.m_vecPolygons[i];
    if (polygon.nVerts == 0 || polygon.vecAuxIdx.empty()) continue;
    const int first = polygon.vecAuxIdx[0];
    if (cursor < objectCount - 1 && first == objects[cursor + 1].nFirst) ++cursor;
    if (objectCount == 0) continue;
    const SubObject& current = objects[cursor];
    if (first >= current.nFirst && first <= current.nLast) owners[i] = cursor;
  }
  if (cursorEnd != nullptr) *cursorEnd = cursor;
  return owners;
}

// Moves each vertex once, by the sub-object of the first polygon in file
// order that uses it. Positions only: normals stay in their local frames,
// and the bounding box keeps describing the stored positions.
void PlaceSubObjects(ModelContent& model) {
  for (Vertex& v : model.m_vecVertices) v.nCount = kNotPlaced;
  const std::vector<int> owners = SubObjectOfEachPolygon(model, &model.m_nCurSubObject);
  const int vertexCount = static_cast<int>(model.m_vecVertices.size());

  for (std::size_t i = 0; i < model.m_vecPolygons.size(); ++i) {
    if (owners[i] == kNoSubObject) continue;
    for (int index : model.m_vecPolygons[i].vecVertIdx) {
      if (index < 0 || index >= vertexCount) continue;
      Vertex& v = model.m_vecVertices[index];
      if (v.nCount != kNotPlaced) continue;
      TransformToModel(model, owners[i], v.x, v.y, v.z);
      v.nCount = kPlaced;
    }
  }
}

void CModel::PlaceSubObjects() { ::PlaceSubObjects(*this); }

void CModel::TransformToModel(int index, float& x, float& y, float& z) const {
  ::TransformToModel(*this, index, x, y, z);
}
