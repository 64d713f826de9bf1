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

// What became of the palette step of a command.
enum class PaletteStatus {
  kOk,
  kNoProgramDirectory,  // the program cannot find its own folder
  kUnreadable,          // the palette file cannot be read
};

struct PaletteResult {
  PaletteStatus status = PaletteStatus::kOk;
  std::string message;  // "Error Loading Palette" and why
  // The viewer's list of texture files that could not be read ("\r\n"
  // before each name, empty when all were read); filled where textures
  // are read.
  std::string missingTextures;

  bool Ok() const { return status == PaletteStatus::kOk; }
};

// Loads the palette of index `palette` into the model from the program's
// data directory ("seattle.pal" only for 1, "sanfran.pal" otherwise),
// without applying it.
PaletteResult LoadProgramPalette(CModel& model, int palette);

// The open sequence's palette and texture steps with no display: loads the
// palette as above, applies it to the model's materials and reads every
// texture beside modelPath.
PaletteResult LoadPaletteAndTextures(CModel& model, const std::string& modelPath, int palette);

// The same, and fills report from what was read.
PaletteResult ApplyPaletteForReport(CModel& model, const std::string& modelPath, int palette,
                                    PaletteReport& report);
