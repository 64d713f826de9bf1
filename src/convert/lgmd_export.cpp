#include "convert/lgmd_export.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "io/file_bytes.h"
#include "io/path_parts.h"
#include "model/lgmd_writer.h"
#include "model/model.h"

namespace {

// The largest texture file copied: a .mip header holds at most 32767 x
// 32767 indices, about 1 GiB; anything longer is no texture.
constexpr std::size_t kMaxTextureFileSize = std::size_t{1} << 30;

// Whether two folders are one, by the folder itself rather than its name.
bool SameFolder(const std::string& a, const std::string& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

// Models of one set share their textures: saving several of them into one
// folder copies a texture once, and the later ones find it there.
bool HoldsAlready(const safewrite::OutputFile& copy) {
  std::vector<std::uint8_t> there;
  std::string reason;
  return filebytes::ReadFileBytes(copy.path, there, reason, kMaxTextureFileSize) &&
         there == copy.bytes;
}

}  // namespace

BuildResult BuildLgmdExport(const std::string& modelPath, const std::string& outPath,
                            std::vector<safewrite::OutputFile>& files) {
  files.clear();
  CModel model;
  if (const ReadResult result = model.Read(modelPath); !result.ok()) {
    return {BuildStatus::kCannotReadModel,
            "cannot read model " + modelPath + ": " + result.Reason()};
  }
  safewrite::OutputFile main{outPath, {}};
  const LgmdWriteResult written = WriteLgmd(model, main.bytes);
  if (!written.ok()) {
    return {BuildStatus::kCannotConvert, "cannot write " + outPath + " as LGMD: " + written.reason};
  }
  const std::string outDir = DirectoryOf(outPath);
  if (!SameFolder(DirectoryOf(modelPath), outDir)) {
    for (const std::string& texture : model.TextureFilePaths(modelPath)) {
      safewrite::OutputFile copy{outDir + "/" + std::filesystem::path(texture).filename().string(),
                                 {}};
      std::string reason;
      if (!filebytes::ReadFileBytes(texture, copy.bytes, reason, kMaxTextureFileSize)) {
        files.clear();
        return {BuildStatus::kCannotReadModel, "cannot copy texture " + texture + ": " + reason};
      }
      if (!HoldsAlready(copy)) files.push_back(std::move(copy));
    }
  }
  files.push_back(std::move(main));
  return {};
}
