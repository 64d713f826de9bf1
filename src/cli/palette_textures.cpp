#include "cli/palette_textures.h"

#include "model/model.h"
#include "model/palette_files.h"
#include "platform/install_layout.h"
#include "platform/posix_paths.h"

int LoadProgramPalette(CModel& model, int palette, std::string& strError) {
  // The program's palettes live beside its executable, or in the data
  // directory of an installed copy. Without our own directory there is no
  // palette to trust: a bare file name would be looked up in whatever the
  // working directory is.
  const std::string exeDir = platform::ExecutableDirectory();
  const std::string directory = platform::FindFileLayout(exeDir, kPaletteFileNames).strDataDir;
  if (directory.empty()) {
    strError = "Error Loading Palette: the program's own directory is unknown";
    return -1;
  }
  const std::string palettePath = directory + PaletteFileName(palette);
  std::string reason;
  if (model.LoadPalette(palettePath, reason) != 0) {
    strError = "Error Loading Palette\n" + palettePath + ": " + reason;
    return -1;
  }
  return 0;
}

int LoadPaletteAndTextures(CModel& model, const std::string& modelPath, int palette,
                           std::string& missing, std::string& strError) {
  if (LoadProgramPalette(model, palette, strError) != 0) return -1;
  model.ApplyPalette(palette);
  missing = model.ReadTextureImages(modelPath);
  return 0;
}

int ApplyPaletteForReport(CModel& model, const std::string& modelPath, int palette,
                          PaletteReport& report, std::string& strError) {
  std::string missing;
  if (LoadPaletteAndTextures(model, modelPath, palette, missing, strError) != 0) return -1;

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
  return 0;
}
