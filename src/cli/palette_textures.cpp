#include "cli/palette_textures.h"

#include "cli/console.h"
#include "model/model.h"
#include "model/palette_files.h"
#include "platform/install_layout.h"
#include "platform/posix_paths.h"

namespace {

constexpr const char* kNoProgramDirectory =
    "Error Loading Palette: the program's own directory is unknown";

// The program's palettes live beside its executable, or in the data
// directory of an installed copy. Without our own directory there is no
// palette to trust: a bare file name would be looked up in whatever the
// working directory is. Empty then.
std::string ProgramPaletteDir() {
  const std::string exeDir = platform::ExecutableDirectory();
  return platform::FindFileLayout(exeDir, kPaletteFileNames).strDataDir;
}

}  // namespace

bool LoadProgramPaletteOrComplain(CModel& model, int palette) {
  const std::string directory = ProgramPaletteDir();
  if (directory.empty()) {
    Complain(kNoProgramDirectory);
    return false;
  }
  const std::string palettePath = directory + PaletteFileName(palette);
  if (const ReadResult read = model.LoadPalette(palettePath); !read.ok()) {
    Complain("Error Loading Palette\n" + palettePath + ": " + read.Reason());
    return false;
  }
  return true;
}

OpenResult OpenForCommand(CModel& model, const std::string& path, int palette) {
  const std::string directory = ProgramPaletteDir();
  if (directory.empty()) {
    // The model is still read first, so that a file that cannot be read
    // is named as such.
    if (!ReadModelOrComplain(model, path)) return {OpenStatus::kModelUnreadable, path, {}, {}};
    Complain(kNoProgramDirectory);
    return {OpenStatus::kPaletteUnreadable, {}, {}, {}};
  }
  const OpenResult opened = ReadModelForDisplay(model, path, directory, palette);
  switch (opened.status) {
    case OpenStatus::kOk:
      break;
    case OpenStatus::kModelUnreadable:
      Complain("cannot read model " + path + ": " + opened.reason);
      break;
    case OpenStatus::kPaletteUnreadable:
      Complain(opened.ErrorMessage());
      break;
  }
  return opened;
}

PaletteReport ReportPalette(const CModel& model) {
  PaletteReport report;
  for (int k = 0; k < 3; ++k) report.defaultColor[k] = model.DefaultColor()[k];
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
  return report;
}
