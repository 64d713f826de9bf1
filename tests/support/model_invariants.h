// The promises a model the reader accepted keeps for the drawing and export
// code: counts match the arrays, every index is in range, every material
// reference points into the material array and every parent chain ends.
// Shared by the fuzz targets and the truncation tests, so both hold the
// reader to the same standard.
#pragma once

#include <cstddef>
#include <string>

#include "model/model.h"

namespace invariants {

inline bool InRange(int index, std::size_t size) {
  return index >= 0 && static_cast<std::size_t>(index) < size;
}

// Empty when every promise holds; otherwise the first one broken.
inline std::string Broken(const CModel& m) {
  if (m.PolygonCount() != static_cast<int>(m.Polygons().size())) return "polygon count";
  if (m.VertexCount() != static_cast<int>(m.Vertices().size())) return "vertex count";
  if (m.MaterialCount() != static_cast<int>(m.Materials().size())) return "material count";
  if (m.SubObjectCount() != static_cast<int>(m.SubObjects().size())) return "sub-object count";
  const Material* first = m.Materials().data();
  for (const Polygon& p : m.Polygons()) {
    const auto corners = static_cast<std::size_t>(p.nVerts);
    if (p.vecVertIdx.size() != corners || p.vecTexIdx.size() != corners ||
        p.vecAuxIdx.size() != corners) {
      return "corner arrays";
    }
    for (int v : p.vecVertIdx) {
      if (!InRange(v, m.Vertices().size())) return "vertex index " + std::to_string(v);
    }
    if (p.pMaterial == nullptr) continue;
    if (p.pMaterial < first || p.pMaterial >= first + m.Materials().size()) return "material";
    if (p.pMaterial->nKind != kTexturedKind) continue;
    for (int t : p.vecTexIdx) {
      if (!InRange(t, m.TexCoords().size())) return "texture index " + std::to_string(t);
    }
  }
  const int count = static_cast<int>(m.SubObjects().size());
  for (int i = 0; i < count; ++i) {
    int index = i;
    for (int steps = 0; index != -1; ++steps) {
      if (steps > count || !InRange(index, m.SubObjects().size())) {
        return "parent chain of sub-object " + std::to_string(i);
      }
      index = m.SubObjects()[index].nParent;
    }
  }
  return {};
}

}  // namespace invariants
