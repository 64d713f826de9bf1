// The one document: the open model, the camera, the palette choice and the
// background colour. It knows nothing of windows; messages and cursors go
// through the platform layer, so it runs the same in the viewer, in the
// headless commands and in tests.
#pragma once

#include <string>

#include "model/model.h"

class CQuodraDoc {
 public:
  CQuodraDoc() = default;

  // Open sequence and camera fit (quodra_doc.cpp).
  // 0 done (also with textures missing), -1 palette failed,
  // -2 the model could not be read (nothing after the read ran).
  int LoadModel(const std::string& path, int nPalette);
  void ResetCamera();
  void GetModelCounts(int* polygons, int* vertices, int* materials) const;

  // Configuration (config.cpp).
  bool OnNewDocument();
  void LoadConfig();
  void SaveConfig();
  bool CanCloseFrame();

  // Scene state and drawing (scene.cpp), with a current OpenGL context.
  void InitScene();
  void DrawScene();

  // Export (export_model.cpp).
  int ExportModel(const std::string& path);

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
  CModel m_model;
};
