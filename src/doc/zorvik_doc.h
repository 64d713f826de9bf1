// The one document: the open model with its textures, the camera, the
// palette choice, the look and the background colour. It knows nothing of
// windows; messages and cursors go through the platform layer, so it runs
// the same in the viewer, in the headless commands and in tests.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "convert/export_formats.h"
#include "model/model.h"
#include "model/open_sequence.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/draw_recording.h"
#include "render/scene.h"
#include "render/texture_set.h"

// How a refusal names the model on screen: no file the viewer writes may
// be it ("Error opening X for writing", then this reason).
inline constexpr const char* kOpenModelRole = "the open model file";

// What became of an export: done, or why not in the words of the box the
// view shows with the stop icon.
enum class ExportStatus {
  kOk,
  kCannotBuild,  // the files could not be made in memory
  kRefused,      // a file would replace the open model or another model
  kCannotWrite,  // a file could not be written; every target is as it was
};

struct ExportResult {
  ExportStatus status = ExportStatus::kOk;
  std::string message;  // the heading, then the reason on a second line

  bool Ok() const { return status == ExportStatus::kOk; }
};

// A message the document has for the user; the window or a command shows
// it, in the order given.
struct DocMessage {
  std::string text;
  platform::MsgIcon icon = platform::MsgIcon::None;
};

// What reading or writing the settings came to.
struct SettingsResult {
  std::vector<DocMessage> messages;
  // The program's own directory is unknown: after the messages it stops
  // with exit code 1, saving nothing.
  bool bMustStop = false;
};

class CZorvikDoc {
 public:
  CZorvikDoc() = default;

  // Open sequence and camera fit (zorvik_doc.cpp); shows nothing.
  OpenResult LoadModel(const std::string& path, int nPalette);
  void ResetCamera();
  void GetModelCounts(int* polygons, int* vertices, int* materials) const;

  // Configuration (config.cpp).
  // The program's directory, then the settings read; shows nothing.
  SettingsResult OnNewDocument();
  SettingsResult LoadConfig();
  SettingsResult SaveConfig();
  // Whether the window may close: always, since the document is never
  // modified; the window saves the settings first.
  bool CanCloseFrame();

  // The scene, with a current OpenGL context: the fixed state for a cx x cy
  // area with the document's light, clear colour and look (SetupScene),
  // the light and clear colour alone (InitScene), one frame (DrawScene).
  void SetupScene(int cx, int cy);
  void InitScene();
  void DrawScene();
  // The look: outlines or faces, kept here and handed to OpenGL.
  void SetPolygonMode(int mode);
  int PolygonMode() const { return m_nPolygonMode; }

  // The camera the view turns, zooms and pans; ResetCamera fits it to the
  // model and keeps the distance it chose (FitDistance).
  const scene::Camera& Camera() const { return m_camera; }
  void SetCamera(const scene::Camera& camera) { m_camera = camera; }
  double FitDistance() const { return m_dFitDistance; }

  // The palette region the next open uses (0 San Francisco, 1 Seattle).
  int PaletteIndex() const { return m_nPalette; }
  void SetPaletteIndex(int index) { m_nPalette = index; }

  // The background colour, red, green, blue from 0 to 1; the next
  // InitScene or a SetClearColour shows it.
  // A const copy, so that it cannot be mistaken for a way to set it.
  const std::array<double, 3> Background() const { return {m_dBkRed, m_dBkGreen, m_dBkBlue}; }
  void SetBackground(double red, double green, double blue);

  const CModel& Model() const { return m_model; }
  const CTextureSet& Textures() const { return m_textures; }
  // The file the model was last read from; empty before the first read.
  const std::string& ModelFile() const { return m_strModelFile; }

  // Export (export_model.cpp): the model written to path as a trueSpace
  // object, or in the format given, with the palette and textures it is
  // shown with. The file the model was read from is never written over.
  ExportResult ExportModel(const std::string& path);
  ExportResult ExportModel(const std::string& path, ExportFormat format);

 private:
  // Tests build models in the document and look at what it drew.
  friend struct DocTestAccess;

  scene::Camera m_camera;
  double m_dFitDistance = 0.0;
  int m_nPalette = 0;
  double m_dBkRed = 0.0;
  double m_dBkGreen = 0.0;
  double m_dBkBlue = 0.0;
  int m_nPolygonMode = kPolygonModeFill;
  CModel m_model;
  CTextureSet m_textures;
  std::string m_strModelFile;
  // The model's draw as recorded for replay; every open makes it record
  // anew, and so do a change of look and a texture upload.
  CDrawRecording m_drawRecording;
};
