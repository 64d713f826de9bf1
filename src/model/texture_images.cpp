// Texture images: the ".mip" files beside a model, converted through the
// palette into BGRA images, one entry per textured material. The renderer
// uploads them; nothing here needs OpenGL.
#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <unordered_map>
#include <utility>
#include <vector>

#include "io/file_bytes.h"
#include "io/path_parts.h"
#include "io/printable_name.h"
#include "io/system_path.h"
#include "io/text.h"
#include "model/mip_file.h"
#include "model/model.h"

namespace {

constexpr int kMissingTexture = -1;
constexpr char kSeparator = '/';
constexpr const char* kMissingSeparator = "\r\n";

// Material names come from the model file. One holding a separator (either
// kind, since the sets come from Windows) could reach outside the model's
// directory, and a NUL would cut the path short, so such a name is never
// turned into a path.
bool IsPlainName(const std::string& name) {
  return name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

// Finds texture files in one directory. Texture sets were made on a file
// system that ignores case, so a model asking for "Wing.mip" may sit beside
// "WING.MIP". The exact name wins; otherwise the regular file whose name
// equals it ignoring ASCII case is taken, and when several do, the first in
// byte order, so the choice never depends on the directory's order. The
// directory is listed at most once per set-up, and only when an exact name
// is missing.
class TextureFileFinder {
 public:
  explicit TextureFileFinder(std::string directory) : m_directory(std::move(directory)) {}

  bool Find(const std::string& fileName, std::string& path) {
    path = m_directory + kSeparator + fileName;
    std::error_code ec;
    if (std::filesystem::exists(syspath::FromUtf8(path), ec)) return true;
    if (!m_listed) List();
    const auto match = m_byLowerName.find(LowerAscii(fileName));
    if (match == m_byLowerName.end()) return false;
    path = m_directory + kSeparator + match->second;
    return true;
  }

 private:
  void List() {
    m_listed = true;
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(syspath::FromUtf8(m_directory), ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
      std::error_code typeError;
      if (it->is_regular_file(typeError)) names.push_back(syspath::ToUtf8(it->path().filename()));
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) m_byLowerName.try_emplace(LowerAscii(name), name);
  }

  std::string m_directory;
  bool m_listed = false;
  std::unordered_map<std::string, std::string> m_byLowerName;
};

// A later material naming the same file with the same transparency gets
// the image read for the first one, or the same reason for its absence.
void ShareImage(const TextureEntry& from, TextureEntry& to) {
  to.pPixels = from.pPixels;
  to.nWidth = from.nWidth;
  to.nHeight = from.nHeight;
  to.strMissingReason = from.strMissingReason;
}

}  // namespace

std::vector<std::string> CModel::TextureFilePaths(const std::string& modelPath) const {
  TextureFileFinder finder(DirectoryOf(modelPath));
  std::vector<std::string> paths;
  for (const Material& material : m_vecMaterials) {
    std::string path;
    if (material.nKind != kTexturedKind || !IsPlainName(material.strName) ||
        !finder.Find(mip::FileNameFor(material.strName), path) ||
        std::find(paths.begin(), paths.end(), path) != paths.end()) {
      continue;
    }
    paths.push_back(path);
  }
  return paths;
}

void CModel::BuildTextureList() {
  m_vecTextures.clear();
  for (Material& material : m_vecMaterials) {
    if (material.nKind != kTexturedKind) continue;
    TextureEntry entry;
    entry.nNumber = material.nTexNumber;
    entry.bTransparent = material.fColor[3] == 0.0f;
    material.nTexIndex = static_cast<int>(m_vecTextures.size());
    m_vecTextures.push_back(std::move(entry));
  }
}

bool CModel::ReadMipFile(const std::string& path, TextureEntry& entry, int maxSide) {
  entry.pPixels.reset();
  filebytes::CInputFile file;
  if (!file.Open(path, entry.strMissingReason)) return false;
  mip::MipImage image = mip::DecodeFile(file, m_vecPalette, entry.bTransparent, maxSide);
  if (!image.ok()) {
    entry.strMissingReason = std::move(image.reason);
    return false;
  }
  entry.pPixels = std::move(image.pixels);
  entry.nWidth = image.width;
  entry.nHeight = image.height;
  entry.strMissingReason.clear();
  return true;
}

// Reads the texture of every textured material into its entry, in material
// order, each file once per transparency: many materials may name one file,
// and the image (with its holes, or without) is the same for all of them.
// An entry that cannot be read is marked missing with its reason; its
// material keeps its index, and the draw then shows the polygon untextured.
std::string CModel::ReadTextureImages(const std::string& modelPath, int maxSide) {
  BuildTextureList();
  // The textures lie in the model's own directory.
  TextureFileFinder finder(DirectoryOf(modelPath));
  std::map<std::pair<std::string, bool>, std::size_t> firstEntryOfFile;
  std::size_t k = 0;
  for (const Material& material : m_vecMaterials) {
    if (material.nKind != kTexturedKind) continue;
    const std::size_t index = k++;
    TextureEntry& entry = m_vecTextures[index];
    std::string path;
    if (!IsPlainName(material.strName)) {
      entry.strMissingReason = "the material name is not a plain file name";
    } else if (!finder.Find(mip::FileNameFor(material.strName), path)) {
      entry.strMissingReason = "not found";
    } else if (const auto [first, isFirst] =
                   firstEntryOfFile.try_emplace({path, entry.bTransparent}, index);
               !isFirst) {
      ShareImage(m_vecTextures[first->second], entry);
      if (entry.pPixels != nullptr) continue;
    } else if (ReadMipFile(path, entry, maxSide)) {
      continue;
    }
    entry.nNumber = kMissingTexture;
  }
  return MissingTextureList();
}

void CModel::MarkTextureMissing(std::size_t index, std::string reason) {
  if (index >= m_vecTextures.size()) return;
  TextureEntry& entry = m_vecTextures[index];
  entry.strMissingReason = std::move(reason);
  entry.pPixels.reset();
  entry.nNumber = kMissingTexture;
}

std::vector<std::string> CModel::MissingTextureFiles() const {
  std::vector<std::string> files;
  for (const Material& material : m_vecMaterials) {
    if (material.nKind != kTexturedKind || material.nTexIndex < 0 ||
        material.nTexIndex >= static_cast<int>(m_vecTextures.size())) {
      continue;
    }
    if (m_vecTextures[material.nTexIndex].pPixels == nullptr) {
      files.push_back(mip::FileNameFor(material.strName));
    }
  }
  return files;
}

// One name a line after the heading's line break, so that the message reads
// "Missing Textures:", an empty line, then the names.
std::string CModel::MissingTextureList() const {
  std::string list;
  for (const std::string& file : MissingTextureFiles()) {
    list += kMissingSeparator;
    list += PrintableName(file);
  }
  return list;
}
