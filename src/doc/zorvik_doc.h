// The one document: the open model with its textures, the camera, the
// palette choice, the look and the background colour. It knows nothing of
// windows; messages and cursors go through the platform layer, so it runs
// the same in the viewer, in the headless commands and in tests.
#pragma once

#include <string>
#include <vector>

#include "convert/export_formats.h"
#include "model/model.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/draw_recording.h"
#include "render/scene.h"
#include "render/texture_set.h"

// How a refusal names the model on screen: no file the viewer writes may
// be it ("Error opening X for writing", then this reason).
inline constexpr const char* kOpenModelRole = "the open model file";

// What became of an open. The document only reports; the view shows the
// messages in boxes, the commands on stderr, with these texts.
enum class OpenStatus {
  kOk,                 // opened, perhaps with textures missing
  kModelUnreadable,    // nothing after the read ran; the old model stays
  kPaletteUnreadable,  // the model was read, nothing after the palette ran
};

struct OpenResult {
  OpenStatus status = OpenStatus::kOk;
  std::string file;    // the model or palette that failed
  std::string reason;  // why, in a few words
  // The texture files that could not be read, each after "\r\n", in the
  // order the Missing Textures message lists them; empty when all were.
  std::string missingTextures;

  bool Ok() const { return status == OpenStatus::kOk; }
  // "Error Loading Model\r\nPATH: REASON" or the palette's; empty when ok.
  std::string ErrorMessage() const;
  // "Missing Textures:\r\n..." when textures are missing, else empty.
  std::string MissingTexturesMessage() const;
};

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
  scene::Camera Camera() const;

  // Export (export_model.cpp): the model written to path as a trueSpace
  // object, or in the format given, with the palette and textures it is
  // shown with. The file the model was read from is never written over.
  ExportResult ExportModel(const std::string& path);
  ExportResult ExportModel(const std::string& path, ExportFormat format);

  double m_dRotY = 0.0;
  double m_dRotX = 0.0;
  double m_dRotZ = 0.0;
  double m_dScale = 1.0;
  double m_dDistance = 30.0;
  double m_dPanX = 0.0;
  double m_dPanY = 0.0;
  double m_dFitDistance = 0.0;
  int m_nPalette = 0;
  double m_dBkRed = 0.0;
  double m_dBkGreen = 0.0;
  double m_dBkBlue = 0.0;
  int m_nPolygonMode = kPolygonModeFill;
  CModel m_model;
  CTextureSet m_textures;
  // The file m_model was last read from; empty before the first read.
  std::string m_strModelFile;
  // The model's draw as recorded for replay; every open makes it record
  // anew, and so do a change of look and a texture upload.
  CDrawRecording m_drawRecording;
};
