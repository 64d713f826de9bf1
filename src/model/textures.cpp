// Texture set-up: the ".mip" files beside a model, converted through the
// palette and uploaded as one OpenGL texture per textured material.
#include <GL/gl.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/file_bytes.h"
#include "model/mip_file.h"
#include "model/model.h"

namespace {

constexpr int kTexturedKind = 0;
constexpr int kMissingTexture = -1;
constexpr char kSeparator = '/';
constexpr const char* kMissingSeparator = "\r\n";

// Not every GL header names the EXT_bgra format; the value is fixed.
constexpr GLenum kGlBgraExt = 0x80E1;
// Four components: the texture keeps the alpha that makes holes.
constexpr GLint kInternalFormat = 4;

// The directory that holds the model's textures: everything before the
// model path's last '/'. A bare file name lies in the working directory.
std::string TextureDirectory(const std::string& modelPath) {
  const std::string::size_type slash = modelPath.rfind(kSeparator);
  if (slash == std::string::npos) return ".";
  return modelPath.substr(0, slash);
}

// Material names come from the model file. One holding a separator (either
// kind, since the sets come from Windows) could reach outside the model's
// directory, and a NUL would cut the path short, so such a name is never
// turned into a path.
bool IsPlainName(const std::string& name) {
  return name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(const std::string& s) {
  std::string lower(s);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return LowerAscii(c); });
  return lower;
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
    if (std::filesystem::exists(path, ec)) return true;
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
    for (auto it = std::filesystem::directory_iterator(m_directory, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
      std::error_code typeError;
      if (it->is_regular_file(typeError)) names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) m_byLowerName.try_emplace(LowerAscii(name), name);
  }

  std::string m_directory;
  bool m_listed = false;
  std::unordered_map<std::string, std::string> m_byLowerName;
};

// Reads the texture of every textured material into its entry, in material
// order, and hands each image read to upload right after its read. Returns
// the list of files that could not be read: "\r\n" before each name, so
// that a message shows it one name a line under its heading.
template <typename Upload>
std::string ReadEachTexture(CModel& model, const std::string& modelPath, Upload upload) {
  TextureFileFinder finder(TextureDirectory(modelPath));
  std::string missing;
  std::size_t k = 0;
  for (const Material& material : model.m_vecMaterials) {
    if (material.nKind != kTexturedKind) continue;
    TextureEntry& entry = model.m_vecTextures[k];
    const std::string fileName = mip::FileNameFor(material.strName);
    std::string path;
    int width = 0;
    int height = 0;
    const bool read = IsPlainName(material.strName) && finder.Find(fileName, path) &&
                      model.ReadMipFile(path, entry, width, height) == 0;
    if (read) {
      upload(k, width, height, entry.pPixels.get());
    } else {
      // The texture name stays without an image and the material keeps its
      // index; the draw then shows the polygon untextured.
      missing += kMissingSeparator;
      missing += fileName;
      entry.nNumber = kMissingTexture;
    }
    ++k;
  }
  return missing;
}

}  // namespace

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

int CModel::ReadMipFile(const std::string& path, TextureEntry& entry, int& width, int& height) {
  std::vector<std::uint8_t> bytes;
  if (!filebytes::ReadFileBytes(path, bytes)) return mip::kDecodeFailed;
  const int result = mip::Decode(bytes.data(), bytes.size(), m_vecPalette, entry.bTransparent,
                                 entry.pPixels, width, height);
  if (result == mip::kDecodeOk) {
    entry.nWidth = width;
    entry.nHeight = height;
  }
  return result;
}

std::string CModel::ReadTextureImages(const std::string& modelPath) {
  BuildTextureList();
  return ReadEachTexture(*this, modelPath, [](std::size_t, int, int, const std::uint8_t*) {});
}

std::string CModel::LoadTextures(const std::string& modelPath) {
  BuildTextureList();

  // Every set-up starts from fresh names: the old textures belong to the
  // previous model or palette and are deleted with their names.
  if (m_pTexNames) {
    glDeleteTextures(m_nTextures, m_pTexNames.get());
    m_pTexNames.reset();
  }
  m_nTextures = static_cast<int>(m_vecTextures.size());
  m_pTexNames = std::make_unique<unsigned int[]>(static_cast<std::size_t>(m_nTextures));
  glGenTextures(m_nTextures, m_pTexNames.get());

  return ReadEachTexture(
      *this, modelPath, [this](std::size_t k, int width, int height, const std::uint8_t* pixels) {
        // Blocky, repeating texels as the simulator shows them; GL_MODULATE
        // lets the lighting shade the texture.
        glBindTexture(GL_TEXTURE_2D, m_pTexNames[k]);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(GL_NEAREST));
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_NEAREST));
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_REPEAT));
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_REPEAT));
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(GL_MODULATE));
        glTexImage2D(GL_TEXTURE_2D, 0, kInternalFormat, width, height, 0, kGlBgraExt,
                     GL_UNSIGNED_BYTE, pixels);
      });
}
