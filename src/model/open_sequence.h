// The open sequence up to the display, shared by the viewer's document
// and the headless commands: the model, its palette, its textures.
#pragma once

#include <string>

#include "model/model.h"

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

// The open sequence up to the display: the model read, the palette of
// region nPalette read from paletteDir (ending with '/') and applied, and
// every texture read through it, sides up to maxTextureSide. A model that
// cannot be read changes nothing; after a palette that cannot be read the
// model is the new one, without colours or textures. LoadModel goes on to
// upload the textures and fit the camera; the commands stop here.
OpenResult ReadModelForDisplay(CModel& model, const std::string& path,
                               const std::string& paletteDir, int nPalette,
                               int maxTextureSide = kHeadlessMaxTextureSide);

