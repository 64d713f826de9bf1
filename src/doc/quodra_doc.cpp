#include "doc/quodra_doc.h"

#include <algorithm>

#include "doc/app_paths.h"
#include "platform/platform.h"

namespace {

// The camera stands this many times the model's largest extent away, which
// shows the whole model in the view's field of view.
constexpr double kFitFactor = 1.5;

constexpr int kSeattlePalette = 1;
constexpr const char* kSanFranciscoFile = "sanfran.pal";
constexpr const char* kSeattleFile = "seattle.pal";

}  // namespace

int CQuodraDoc::LoadModel(const std::string& path, int nPalette) {
  platform::Platform& ui = platform::Current();
  ui.BeginWaitCursor();

  // A file that cannot be read leaves the model as it was; going on would
  // set up textures from the new file's folder for the old model and fit
  // the camera to it, so the open stops here with everything unchanged.
  if (m_model.Read(path, false) != 0) {
    ui.ShowMessage("Error Loading Model", platform::MsgIcon::None);
    ui.RestoreArrowCursor();
    return -2;
  }

  // Every region other than Seattle uses the San Francisco palette. The base
  // directory already ends with '/'.
  const std::string palettePath =
      AppPaths().GetBaseDir() + (nPalette == kSeattlePalette ? kSeattleFile : kSanFranciscoFile);
  if (m_model.LoadPalette(palettePath) != 0) {
    ui.ShowMessage("Error Loading Palette", platform::MsgIcon::None);
    ui.RestoreArrowCursor();
    return -1;
  }
  m_model.ApplyPalette(nPalette);

  const std::string missing = m_model.LoadTextures(path);
  if (!missing.empty()) {
    ui.ShowMessage("Missing Textures:\r\n" + missing, platform::MsgIcon::None);
  }

  ResetCamera();
  ui.RestoreArrowCursor();
  return 0;
}

void CQuodraDoc::ResetCamera() {
  const double dx = static_cast<double>(m_model.m_ptMax.x) - m_model.m_ptMin.x;
  const double dy = static_cast<double>(m_model.m_ptMax.y) - m_model.m_ptMin.y;
  const double dz = static_cast<double>(m_model.m_ptMax.z) - m_model.m_ptMin.z;
  const double largest = std::max({dx, dy, dz});

  m_dDistance = m_dFitDistance = kFitFactor * largest;
  m_dRotX = m_dRotY = m_dRotZ = 0.0;
  m_dPanX = m_dPanY = 0.0;
  m_dScale = 1.0;
}

void CQuodraDoc::GetModelCounts(int* polygons, int* vertices, int* materials) const {
  if (polygons != nullptr) *polygons = m_model.m_nPolygons;
  if (vertices != nullptr) *vertices = m_model.m_nVertices;
  if (materials != nullptr) *materials = m_model.m_nMaterials;
}
