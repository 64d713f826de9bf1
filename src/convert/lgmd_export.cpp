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

int BuildLgmdExport(const std::string& modelPath, const std::string& outPath,
                    std::vector<safewrite::OutputFile>& files, std::string& strError) {
  files.clear();
  CModel model;
  ReadResult result;
  if (model.Read(modelPath, result) != 0) {
    strError = "cannot read model " + modelPath + ": " + result.Reason();
    return -1;
  }
  safewrite::OutputFile main{outPath, {}};
  const LgmdWriteResult written = WriteLgmd(model, main.bytes);
  if (!written.ok()) {
    strError = "cannot write " + outPath + " as LGMD: " + written.reason;
    return -1;
  }
  const std::string outDir = DirectoryOf(outPath);
  if (!SameFolder(DirectoryOf(modelPath), outDir)) {
    for (const std::string& texture : model.TextureFilePaths(modelPath)) {
      safewrite::OutputFile copy{outDir + "/" + std::filesystem::path(texture).filename().string(),
                                 {}};
      std::string reason;
      if (!filebytes::ReadFileBytes(texture, copy.bytes, reason, kMaxTextureFileSize)) {
        strError = "cannot copy texture " + texture + ": " + reason;
        return -1;
      }
      if (!HoldsAlready(copy)) files.push_back(std::move(copy));
    }
  }
  files.push_back(std::move(main));
  return 0;
}
