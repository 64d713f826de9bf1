// The open of a foreign model: imported in memory (foreign_import.h),
// placed and shown through the current palette as the simulator would show
// the LGMD model it becomes; File > Export... "LGMD model" writes that
// model and its ".mip" textures.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "doc/app_paths.h"
#include "doc/foreign_import.h"
#include "doc/zorvik_doc.h"
#include "io/lgmd_magic.h"
#include "io/system_path.h"
#include "io/text.h"
#include "model/lgmd_writer.h"
#include "model/mip_file.h"
#include "model/palette_files.h"
#include "render/frame_memory.h"

bool IsForeignModelFile(const std::string& path) {
  // A ".bin" file is always taken for LGMD, so a damaged one says so.
  return !LowerAscii(path).ends_with(".bin") && !HasLgmdMagic(path);
}

namespace {

// Each textured material's texture, converted through the palette as a
// ".mip" file beside the model would be.
void SetImportedTextures(CModel& model, const std::vector<ImportedTexture>& textures) {
  model.BuildTextureList();
  std::vector<TextureEntry> entries = model.Textures();
  const int maxSide =
      CTextureSet::MaxTextureSize() > 0 ? CTextureSet::MaxTextureSize() : kHeadlessMaxTextureSide;
  for (std::size_t i = 0; i < entries.size() && i < textures.size(); ++i) {
    TextureEntry& entry = entries[i];
    const std::vector<std::uint8_t>& bytes = textures[i].bytes;
    mip::MipImage image =
        mip::Decode(bytes.data(), bytes.size(), model.Palette(), entry.bTransparent, maxSide);
    entry.nWidth = image.width;
    entry.nHeight = image.height;
    entry.strMissingReason = image.reason;
    if (image.ok()) entry.pPixels = std::move(image.pixels);
  }
  model.SetTextures(std::move(entries));
}

}  // namespace

OpenResult CZorvikDoc::ImportModel(const std::string& path, int nPalette) {
  const std::string palettePath = AppPaths().GetPaletteDir() + PaletteFileName(nPalette);
  CModel staging;
  if (const ReadResult palette = staging.LoadPalette(palettePath); !palette.ok()) {
    return {OpenStatus::kPaletteUnreadable, palettePath, palette.Reason(), {}};
  }
  ImportOptions options;
  options.name = syspath::ToUtf8(syspath::FromUtf8(path).stem());
  options.palette = nPalette;
  ImportedModel imported;
  if (const ImportResult result = ImportForeignModel(path, options, staging.Palette(), imported);
      !result.Ok()) {
    return {OpenStatus::kModelUnreadable, path, result.reason, {}};
  }
  // The file form is kept for an export as LGMD: positions in their
  // sub-objects' frames, before placement moves them.
  staging.Assign(std::move(imported.content));
  std::vector<OutputFile> files(1);
  if (const LgmdWriteResult written = WriteLgmd(staging, files[0].bytes); !written.ok()) {
    return {OpenStatus::kModelUnreadable, path, written.reason, {}};
  }
  for (ImportedTexture& texture : imported.textures)
    files.push_back({texture.fileName, std::move(texture.bytes)});

  m_model.Assign(staging.Assign(ModelContent{}));
  m_model.PlaceSubObjects();
  m_model.SetPalette(staging.Palette());
  m_model.ApplyPalette(nPalette);
  std::vector<ImportedTexture> textures;
  for (std::size_t i = 1; i < files.size(); ++i)
    textures.push_back({files[i].path, files[i].bytes});
  SetImportedTextures(m_model, textures);
  m_strModelFile = path;
  m_vecImportedFiles = std::move(files);
  m_drawRecording.Invalidate();

  OpenResult result;
  result.missingTextures = m_textures.UploadTextures(m_model);
  ResetCamera();
  render::ReleaseFreedMemory();
  return result;
}

std::vector<OutputFile> CZorvikDoc::ImportedFilesFor(const std::string& path) const {
  std::vector<OutputFile> files;
  const std::filesystem::path folder = syspath::FromUtf8(path).parent_path();
  for (std::size_t i = 1; i < m_vecImportedFiles.size(); ++i) {
    files.push_back({syspath::ToUtf8(folder / syspath::FromUtf8(m_vecImportedFiles[i].path)),
                     m_vecImportedFiles[i].bytes});
  }
  if (!m_vecImportedFiles.empty()) files.push_back({path, m_vecImportedFiles[0].bytes});
  return files;
}
