#include "cli/palette_textures.h"

#include "model/model.h"
#include "model/palette_files.h"
#include "platform/install_layout.h"
#include "platform/posix_paths.h"

PaletteResult LoadProgramPalette(CModel& model, int palette) {
  // The program's palettes live beside its executable, or in the data
  // directory of an installed copy. Without our own directory there is no
  // palette to trust: a bare file name would be looked up in whatever the
  // working directory is.
  const std::string exeDir = platform::ExecutableDirectory();
  const std::string directory = platform::FindFileLayout(exeDir, kPaletteFileNames).strDataDir;
  if (directory.empty()) {
    return {PaletteStatus::kNoProgramDirectory,
            "Error Loading Palette: the program's own directory is unknown",
            {}};
  }
  const std::string palettePath = directory + PaletteFileName(palette);
  if (const ReadResult read = model.LoadPalette(palettePath); !read.ok()) {
    return {PaletteStatus::kUnreadable,
            "Error Loading Palette\n" + palettePath + ": " + read.Reason(),
            {}};
  }
  return {};
}

PaletteResult LoadPaletteAndTextures(CModel& model, const std::string& modelPath, int palette) {
  PaletteResult result = LoadProgramPalette(model, palette);
  if (!result.Ok()) return result;
  model.ApplyPalette(palette);
  result.missingTextures = model.ReadTextureImages(modelPath);
  return result;
}

PaletteResult ApplyPaletteForReport(CModel& model, const std::string& modelPath, int palette,
                                    PaletteReport& report) {
  const PaletteResult result = LoadPaletteAndTextures(model, modelPath, palette);
  if (!result.Ok()) return result;

  report = PaletteReport();
  report.defaultColor[0] = model.DefaultColor()[0];
  report.defaultColor[1] = model.DefaultColor()[1];
  report.defaultColor[2] = model.DefaultColor()[2];
  for (const TextureEntry& entry : model.Textures()) {
    // A missing file leaves no image behind, whatever size its header gave.
    const bool read = entry.pPixels != nullptr;
    report.textures.push_back(TextureReport{entry.nNumber, entry.bTransparent,
                                            read ? entry.nWidth : 0, read ? entry.nHeight : 0,
                                            read ? std::string() : entry.strMissingReason});
  }
  // The names are taken from the materials rather than split out of the
  // message text, so a name holding a line break cannot garble the list.
  report.missingTextures = model.MissingTextureFiles();
  return result;
}
