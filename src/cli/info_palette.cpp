#include "cli/info_palette.h"

#include "model/mip_file.h"
#include "model/model.h"
#include "platform/posix_paths.h"

namespace {

// The program's palettes live beside its executable. Only region 1 is
// Seattle; every other index, a hand-edited one included, loads the San
// Francisco file, just as the open sequence does.
constexpr int kSeattleRegion = 1;
constexpr const char* kSeattlePalette = "seattle.pal";
constexpr const char* kSanFranciscoPalette = "sanfran.pal";

constexpr int kTexturedKind = 0;

}  // namespace

int LoadPaletteAndTextures(CModel& model, const std::string& modelPath, int palette,
                           std::string& missing) {
  const std::string directory = platform::ExecutableDirectory();
  // Without our own directory there is no palette to trust: a bare file name
  // would be looked up in whatever the working directory is.
  if (directory.empty()) return -1;
  const std::string palettePath =
      directory + (palette == kSeattleRegion ? kSeattlePalette : kSanFranciscoPalette);
  if (model.LoadPalette(palettePath) != 0) return -1;

  model.ApplyPalette(palette);
  missing = model.ReadTextureImages(modelPath);
  return 0;
}

int ApplyPaletteForReport(CModel& model, const std::string& modelPath, int palette,
                          PaletteReport& report) {
  std::string missing;
  if (LoadPaletteAndTextures(model, modelPath, palette, missing) != 0) return -1;

  report = PaletteReport();
  report.defaultColor[0] = model.m_dDefRed;
  report.defaultColor[1] = model.m_dDefGreen;
  report.defaultColor[2] = model.m_dDefBlue;
  for (const TextureEntry& entry : model.m_vecTextures) {
    // A missing file leaves no image behind, whatever size its header gave.
    const bool read = entry.pPixels != nullptr;
    report.textures.push_back(TextureReport{entry.nNumber, entry.bTransparent,
                                            read ? entry.nWidth : 0, read ? entry.nHeight : 0});
  }
  // The names are taken from the materials rather than split out of the
  // message text, so a name holding a line break cannot garble the list.
  for (const Material& material : model.m_vecMaterials) {
    if (material.nKind != kTexturedKind || material.nTexIndex < 0 ||
        material.nTexIndex >= static_cast<int>(model.m_vecTextures.size())) {
      continue;
    }
    if (model.m_vecTextures[material.nTexIndex].pPixels == nullptr) {
      report.missingTextures.push_back(mip::FileNameFor(material.strName));
    }
  }
  return 0;
}
