// What tests reach inside the document: the model to build in place, and
// the texture names and recording the frame draws from.
#pragma once

#include <string>

#include "doc/zorvik_doc.h"

struct DocTestAccess {
  static CModel& Model(CZorvikDoc& doc) { return doc.m_model; }
  static CTextureSet& Textures(CZorvikDoc& doc) { return doc.m_textures; }
  static CDrawRecording& Recording(CZorvikDoc& doc) { return doc.m_drawRecording; }
  static std::string& ModelFile(CZorvikDoc& doc) { return doc.m_strModelFile; }
};

// Moves the document's camera as the view does: a copy changed and set.
template <class Change>
void MoveCamera(CZorvikDoc& doc, Change change) {
  scene::Camera camera = doc.Camera();
  change(camera);
  doc.SetCamera(camera);
}
