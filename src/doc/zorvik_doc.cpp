#include "doc/zorvik_doc.h"

#include <algorithm>

#include "doc/app_paths.h"
#include "model/mip_file.h"
#include "model/palette_files.h"
#include "render/frame_memory.h"

namespace {

// The camera stands this many times the model's largest extent away, which
// shows the whole model in the view's field of view.
constexpr double kFitFactor = 1.5;

}  // namespace

OpenResult CZorvikDoc::LoadModel(const std::string& path, int nPalette) {
  // A texture the driver cannot take is refused before it is decoded, so a
  // file that claims a huge image costs nothing; a driver that names no
  // limit gets the headless one.
  const int maxSide = CTextureSet::MaxTextureSize();
  OpenResult result = ReadModelForDisplay(m_model, path, AppPaths().GetPaletteDir(), nPalette,
                                          maxSide > 0 ? maxSide : kHeadlessMaxTextureSide);
  // A file that cannot be read leaves the model as it was; going on would
  // set up textures from the new file's folder for the old model and fit
  // the camera to it, so the open stops here with everything unchanged.
  if (result.status == OpenStatus::kModelUnreadable) return result;
  m_strModelFile = path;
  m_drawRecording.Invalidate();
  if (!result.Ok()) return result;

  // The upload adds the images the driver refused to the missing ones.
  result.missingTextures = m_textures.UploadTextures(m_model);
  ResetCamera();
  // What the previous model and its frames held is free now.
  render::ReleaseFreedMemory();
  return result;
}

void CZorvikDoc::ResetCamera() {
  const double dx = static_cast<double>(m_model.Max().x) - m_model.Min().x;
  const double dy = static_cast<double>(m_model.Max().y) - m_model.Min().y;
  const double dz = static_cast<double>(m_model.Max().z) - m_model.Min().z;
  const double largest = std::max({dx, dy, dz});

  m_camera = scene::Camera();
  m_camera.dDistance = m_dFitDistance = kFitFactor * largest;
}

void CZorvikDoc::GetModelCounts(int* polygons, int* vertices, int* materials) const {
  if (polygons != nullptr) *polygons = m_model.PolygonCount();
  if (vertices != nullptr) *vertices = m_model.VertexCount();
  if (materials != nullptr) *materials = m_model.MaterialCount();
}

void CZorvikDoc::SetupScene(int cx, int cy) {
  scene::SetupScene(cx, cy);
  InitScene();
  scene::SetPolygonMode(m_nPolygonMode);
}

void CZorvikDoc::InitScene() { scene::InitScene(m_dBkRed, m_dBkGreen, m_dBkBlue); }

void CZorvikDoc::DrawScene() {
  scene::DrawScene(Camera(), m_model, m_textures, m_nPolygonMode, &m_drawRecording);
}

void CZorvikDoc::SetPolygonMode(int mode) {
  m_nPolygonMode = mode;
  scene::SetPolygonMode(mode);
}

void CZorvikDoc::SetBackground(double red, double green, double blue) {
  m_dBkRed = red;
  m_dBkGreen = green;
  m_dBkBlue = blue;
}
