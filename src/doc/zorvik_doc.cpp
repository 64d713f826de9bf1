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

std::string OpenResult::ErrorMessage() const {
  switch (status) {
    case OpenStatus::kOk:
      break;
    case OpenStatus::kModelUnreadable:
      return "Error Loading Model\r\n" + file + ": " + reason;
    case OpenStatus::kPaletteUnreadable:
      return "Error Loading Palette\r\n" + file + ": " + reason;
  }
  return {};
}

std::string OpenResult::MissingTexturesMessage() const {
  return missingTextures.empty() ? std::string() : mip::kMissingTexturesHeading + missingTextures;
}

OpenResult CZorvikDoc::LoadModel(const std::string& path, int nPalette) {
  // A file that cannot be read leaves the model as it was; going on would
  // set up textures from the new file's folder for the old model and fit
  // the camera to it, so the open stops here with everything unchanged.
  if (const ReadResult read = m_model.Read(path); !read.ok()) {
    return {OpenStatus::kModelUnreadable, path, read.Reason(), {}};
  }
  m_strModelFile = path;
  m_drawRecording.Invalidate();

  // The palette directory already ends with '/'.
  const std::string palettePath = AppPaths().GetPaletteDir() + PaletteFileName(nPalette);
  if (const ReadResult palette = m_model.LoadPalette(palettePath); !palette.ok()) {
    return {OpenStatus::kPaletteUnreadable, palettePath, palette.Reason(), {}};
  }
  m_model.ApplyPalette(nPalette);

  OpenResult result;
  result.missingTextures = m_textures.LoadTextures(m_model, path);
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
