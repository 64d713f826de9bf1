// The palette and textures of a model for the commands (`info --palette N`,
// `export`): the open sequence's palette and texture steps, run without a
// display.
#pragma once

#include <string>
#include <vector>

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
// without applying it. Returns 0, or -1 with the message in strError.
int LoadProgramPalette(CModel& model, int palette, std::string& strError);

// The open sequence's palette and texture steps with no display: loads the
// palette of index `palette` from the program's data directory ("seattle.pal"
// only for 1, "sanfran.pal" otherwise), applies it to the model's materials
// and reads every texture beside modelPath. Returns 0 with missing holding
// the viewer's list of texture files that could not be read ("\r\n" before
// each name, empty when all were read), or -1 with the message in strError
// when the palette cannot be loaded.
int LoadPaletteAndTextures(CModel& model, const std::string& modelPath, int palette,
                           std::string& missing, std::string& strError);

// Loads the palette of index `palette` from the program's data directory as the
// open sequence does ("seattle.pal" only for 1, "sanfran.pal" otherwise),
// applies it to the model's materials, reads every texture beside modelPath
// and fills report. Returns 0, or -1 with the message in strError when the
// palette cannot be loaded.
int ApplyPaletteForReport(CModel& model, const std::string& modelPath, int palette,
                          PaletteReport& report, std::string& strError);
