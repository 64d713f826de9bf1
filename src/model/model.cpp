#include "model/model.h"

#include <utility>

namespace {

// The bounding box starts inverted so that the first vertex sets both
// corners.
constexpr float kBoxStart = 1e8f;

}  // namespace

CModel::CModel() {
  m_ptMin.x = m_ptMin.y = m_ptMin.z = kBoxStart;
  m_ptMax.x = m_ptMax.y = m_ptMax.z = -kBoxStart;
}

// The OpenGL texture objects are deliberately left alone: only the texture
// set-up deletes them, and the context may already be gone here.
CModel::~CModel() = default;

void CModel::SwapRedBlue() {
  for (int i = 0; i < m_nMaterials && i < static_cast<int>(m_vecMaterials.size()); ++i) {
    std::swap(m_vecMaterials[i].fColor[0], m_vecMaterials[i].fColor[2]);
  }
}
