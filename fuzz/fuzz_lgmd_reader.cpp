// Feeds arbitrary bytes to the LGMD reader. Besides the sanitizers' checks,
// every model the reader accepts must keep the promises the drawing and
// export code rely on: counts match the arrays, every index is in range,
// every material reference points into the material array and every parent
// chain ends.
#include <cstdint>
#include <cstdlib>

#include "model/model.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

bool InRange(int index, std::size_t size) {
  return index >= 0 && static_cast<std::size_t>(index) < size;
}

void CheckAccepted(const CModel& m) {
  Require(m.m_nPolygons == static_cast<int>(m.m_vecPolygons.size()));
  Require(m.m_nVertices == static_cast<int>(m.m_vecVertices.size()));
  Require(m.m_nMaterials == static_cast<int>(m.m_vecMaterials.size()));
  Require(m.m_nSubObjects == static_cast<int>(m.m_vecSubObjects.size()));
  const Material* first = m.m_vecMaterials.data();
  for (const Polygon& p : m.m_vecPolygons) {
    const auto corners = static_cast<std::size_t>(p.nVerts);
    Require(p.vecVertIdx.size() == corners && p.vecTexIdx.size() == corners &&
            p.vecAuxIdx.size() == corners);
    for (int v : p.vecVertIdx) Require(InRange(v, m.m_vecVertices.size()));
    if (p.pMaterial != nullptr) {
      Require(p.pMaterial >= first && p.pMaterial < first + m.m_vecMaterials.size());
      if (p.pMaterial->nKind == 0) {
        for (int t : p.vecTexIdx) Require(InRange(t, m.m_vecTexCoords.size()));
      }
    }
  }
  const int count = static_cast<int>(m.m_vecSubObjects.size());
  for (int i = 0; i < count; ++i) {
    int index = i;
    for (int steps = 0; index != -1; ++steps) {
      Require(steps <= count && InRange(index, m.m_vecSubObjects.size()));
      index = m.m_vecSubObjects[index].nParent;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CModel model;
  ReadResult result;
  if (model.ReadFromMemory(data, size, result) == 0) {
    CheckAccepted(model);
  } else {
    Require(!result.ok() && !result.Reason().empty());
  }
  // A second read into the same model must replace the first or leave it
  // whole.
  if (model.ReadFromMemory(data, size, result) == 0) CheckAccepted(model);
  CheckAccepted(model);
  return 0;
}
