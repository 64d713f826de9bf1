#include "render/texture_set.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "model/model.h"

namespace {

// Not every GL header names the EXT_bgra format; the value is fixed.
constexpr GLenum kGlBgraExt = 0x80E1;
// Four components: the texture keeps the alpha that makes holes.
constexpr GLint kInternalFormat = 4;

// Blocky, repeating texels as the simulator shows them; GL_MODULATE lets
// the lighting shade the texture. True when the driver took the image.
bool Upload(GLuint name, int width, int height, const void* pixels) {
  while (glGetError() != GL_NO_ERROR) {
  }
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(GL_NEAREST));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_NEAREST));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_REPEAT));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_REPEAT));
  glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(GL_MODULATE));
  glTexImage2D(GL_TEXTURE_2D, 0, kInternalFormat, width, height, 0, kGlBgraExt, GL_UNSIGNED_BYTE,
               pixels);
  return glGetError() == GL_NO_ERROR;
}

}  // namespace

int CTextureSet::MaxTextureSize() {
  GLint size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
  return size;
}

std::string CTextureSet::LoadTextures(CModel& model, const std::string& modelPath) {
  // A texture the driver cannot take is refused before it is decoded, so a
  // file that claims a huge image costs nothing; a driver that names no
  // limit gets the headless one.
  const int maxSide = MaxTextureSize();
  model.ReadTextureImages(modelPath, maxSide > 0 ? maxSide : kHeadlessMaxTextureSide);
  return UploadTextures(model);
}

std::string CTextureSet::UploadTextures(CModel& model) {
  // Every set-up starts from fresh names: the old textures belong to the
  // previous model or palette and are deleted with their names.
  if (!m_vecNames.empty()) {
    glDeleteTextures(static_cast<GLsizei>(m_vecNames.size()), m_vecNames.data());
  }
  if (m_nWhite != 0) glDeleteTextures(1, &m_nWhite);
  m_nWhite = 0;
  ++m_nGeneration;
  m_vecNames.assign(model.Textures().size(), 0);
  if (!m_vecNames.empty())
    glGenTextures(static_cast<GLsizei>(m_vecNames.size()), m_vecNames.data());

  const int maxSide = MaxTextureSize();
  // Materials that share an image share its texture object too: the
  // driver keeps one copy, and the draw binds one name. The name generated
  // for the later entry is given back at once.
  std::unordered_map<const std::uint8_t*, GLuint> uploaded;
  for (std::size_t k = 0; k < model.Textures().size(); ++k) {
    const TextureEntry& entry = model.Textures()[k];
    if (entry.pPixels == nullptr) continue;
    const bool fits = maxSide <= 0 || (entry.nWidth <= maxSide && entry.nHeight <= maxSide);
    if (const auto found = uploaded.find(entry.pPixels.get()); fits && found != uploaded.end()) {
      glDeleteTextures(1, &m_vecNames[k]);
      m_vecNames[k] = found->second;
      continue;
    }
    if (fits && Upload(m_vecNames[k], entry.nWidth, entry.nHeight, entry.pPixels.get())) {
      uploaded.emplace(entry.pPixels.get(), m_vecNames[k]);
      continue;
    }
    // Shown like a missing file rather than as a silently white texture.
    model.MarkTextureMissing(k, fits ? "the graphics driver refused the image"
                                     : "larger than the graphics driver's limit of " +
                                           std::to_string(maxSide) + " pixels");
  }
  if (!uploaded.empty()) {
    static const std::uint8_t kWhiteTexel[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    glGenTextures(1, &m_nWhite);
    if (!Upload(m_nWhite, 1, 1, kWhiteTexel)) {
      glDeleteTextures(1, &m_nWhite);
      m_nWhite = 0;
    }
  }
  return model.MissingTextureList();
}

unsigned CTextureSet::Name(int texIndex) const {
  if (texIndex < 0 || static_cast<std::size_t>(texIndex) >= m_vecNames.size()) return 0;
  return m_vecNames[static_cast<std::size_t>(texIndex)];
}
