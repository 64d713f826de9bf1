// The palette and textures of a model for the commands (`info --palette N`,
// `export`, `texture`): the viewer's open sequence, run without a display,
// with the palettes of the program's own folder.
#pragma once

#include <string>
#include <vector>

#include "doc/zorvik_doc.h"

class CModel;

struct TextureReport {
  int number = 0;
  bool transparent = false;
  int width = 0;  // 0 for a missing file
  int height = 0;
  std::string missingReason;  // why the file is missing, empty when it was read
};

struct PaletteReport {
  double defaultColor[3] = {0.0, 0.0, 0.0};
  std::vector<TextureReport> textures;       // in entry order
  std::vector<std::string> missingTextures;  // in the order of the message
};

// Loads the palette of index `palette` into the model from the program's
// data directory ("seattle.pal" only for 1, "sanfran.pal" otherwise),
// without applying it; false, with the reason on stderr, when it cannot.
bool LoadProgramPaletteOrComplain(CModel& model, int palette);

// Opens the model as the viewer does (ReadModelForDisplay) through the
// program's palette of index `palette`. When the model or the palette
// cannot be read it says why on stderr and the result is not Ok; the
// missing textures are left to the caller.
OpenResult OpenForCommand(CModel& model, const std::string& path, int palette);

// The palette's part of `info`: the default colour and every texture entry
// as the open left them.
PaletteReport ReportPalette(const CModel& model);
