// Sub-object placement. Vertices are stored in the local frame of the
// sub-object they belong to, but no vertex record says which one that is;
// the polygons tell, through the first of their second per-corner indices,
// which falls in a sub-object's range. Polygons of one sub-object follow
// each other in the file, so one forward-moving cursor finds them all.
#include "model/model.h"

namespace {

constexpr int kNotPlaced = 0;
constexpr int kPlaced = 1;

}  // namespace

// Each step of the chain is computed in double and rounded to float, as a
// point in the parent's frame is a float again before the next step.
void CModel::TransformToModel(int index, float& x, float& y, float& z) const {
  const int count = static_cast<int>(m_vecSubObjects.size());
  // The reader refuses parent cycles; the step limit keeps the walk finite
  // even for a model put together some other way.
  for (int steps = 0; index >= 0 && index < count && steps < count; ++steps) {
    const SubObject& object = m_vecSubObjects[index];
    const float* m = object.fMatrix;
    const double px = x, py = y, pz = z;
    x = static_cast<float>(m[0] * px + m[3] * py + m[6] * pz + m[9]);
    y = static_cast<float>(m[1] * px + m[4] * py + m[7] * pz + m[10]);
    z = static_cast<float>(m[2] * px + m[5] * py + m[8] * pz + m[11]);
    index = object.nParent;
  }
}

// Moves each vertex once, by the sub-object current at the first in-range
// polygon that uses it. Positions only: normals stay in their local frames,
// and the bounding box keeps describing the stored positions.
void CModel::PlaceSubObjects() {
  m_nCurSubObject = 0;
  for (Vertex& v : m_vecVertices) v.nCount = kNotPlaced;
  const int objectCount = static_cast<int>(m_vecSubObjects.size());
  const int vertexCount = static_cast<int>(m_vecVertices.size());

  for (const Polygon& polygon : m_vecPolygons) {
    if (polygon.nVerts == 0 || polygon.vecAuxIdx.empty()) continue;
    const int first = polygon.vecAuxIdx[0];
    // The cursor moves at most one step per polygon and never back: it
    // reaches the next sub-object only at a polygon opening its range.
    if (m_nCurSubObject < objectCount - 1 && first == m_vecSubObjects[m_nCurSubObject + 1].nFirst) {
      ++m_nCurSubObject;
    }
    if (objectCount == 0) continue;
    const SubObject& current = m_vecSubObjects[m_nCurSubObject];
    if (first < current.nFirst || first > current.nLast) continue;
    for (int index : polygon.vecVertIdx) {
      if (index < 0 || index >= vertexCount) continue;
      Vertex& v = m_vecVertices[index];
      if (v.nCount != kNotPlaced) continue;
      TransformToModel(m_nCurSubObject, v.x, v.y, v.z);
      v.nCount = kPlaced;
    }
  }
}
