#include "model/open_sequence.h"

#include "model/mip_file.h"
#include "model/palette_files.h"

std::string OpenResult::ErrorMessage() const {
  switch (status) {
    case OpenStatus::kOk:
      break;
    case OpenStatus::kModelUnreadable:
      return "Error Loading Model\r\n" + file + ": " + reason;
    case OpenStatus::kPaletteUnreadable:
      return "Error Loading Palette\r\n" + file + ": " + reason;
  }
  return {};
}

std::string OpenResult::MissingTexturesMessage() const {
  return missingTextures.empty() ? std::string() : mip::kMissingTexturesHeading + missingTextures;
}

OpenResult ReadModelForDisplay(CModel& model, const std::string& path,
                               const std::string& paletteDir, int nPalette, int maxTextureSide) {
  if (const ReadResult read = model.Read(path); !read.ok()) {
    return {OpenStatus::kModelUnreadable, path, read.Reason(), {}};
  }
  const std::string palettePath = paletteDir + PaletteFileName(nPalette);
  if (const ReadResult palette = model.LoadPalette(palettePath); !palette.ok()) {
    return {OpenStatus::kPaletteUnreadable, palettePath, palette.Reason(), {}};
  }
  model.ApplyPalette(nPalette);
  OpenResult result;
  result.missingTextures = model.ReadTextureImages(path, maxTextureSide);
  return result;
}

