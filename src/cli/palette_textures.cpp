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
  std::string reason;
  if (model.LoadPalette(palettePath, reason) != 0) {
    return {
        PaletteStatus::kUnreadable, "Error Loading Palette\n" + palettePath + ": " + reason, {}};
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
  report.defaultColor[0] = model.m_dDefRed;
  report.defaultColor[1] = model.m_dDefGreen;
  report.defaultColor[2] = model.m_dDefBlue;
  for (const TextureEntry& entry : model.m_vecTextures) {
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
