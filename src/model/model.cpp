#include "model/model.h"

#include <utility>

void AverageVertexNormals(std::span<Vertex> vertices) {
  for (Vertex& v : vertices) {
    if (v.nCount == 0) continue;
    const auto count = static_cast<float>(v.nCount);
    v.nx /= count;
    v.ny /= count;
    v.nz /= count;
  }
}

CModel::CModel() = default;

// The OpenGL texture objects are deliberately left alone: only the texture
// set-up deletes them, and the context may already be gone here.
CModel::~CModel() = default;

ModelContent CModel::Assign(ModelContent content) {
  // Swapping keeps the material array's elements where they are, so the
  // polygons' material references stay valid.
  std::swap(static_cast<ModelContent&>(*this), content);
  return content;
}

void CModel::SwapRedBlue() {
  for (int i = 0; i < m_nMaterials && i < static_cast<int>(m_vecMaterials.size()); ++i) {
    std::swap(m_vecMaterials[i].fColor[0], m_vecMaterials[i].fColor[2]);
  }
}
