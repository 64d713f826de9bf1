// The OpenGL side of a model's textures: one texture object per textured
// material, made from the images the model converted through its palette.
// Needs the context it draws with to be current.
#pragma once

#include <string>
#include <vector>

class CModel;

class CTextureSet {
 public:
  // The texture set-up of an open: reads every texture image of the model
  // (CModel::ReadTextureImages, refusing sides past GL_MAX_TEXTURE_SIZE
  // before decoding), deletes the previous texture objects, and uploads
  // each image read. Returns the list of missing files as the open
  // sequence shows it ("\r\n" before each name); an image the driver cannot
  // take (larger than GL_MAX_TEXTURE_SIZE, or refused by the driver) is
  // listed like a file that is missing, and its polygons draw untextured.
  std::string LoadTextures(CModel& model, const std::string& modelPath);

  // The upload half of LoadTextures, for images already in the model's
  // texture entries; returns the same list.
  std::string UploadTextures(CModel& model);

  // The texture object for a material's nTexIndex, or 0 when there is no
  // such index. A texture whose entry holds no image has a name without an
  // image; the draw leaves such polygons untextured.
  unsigned Name(int texIndex) const;
  int Count() const { return static_cast<int>(m_vecNames.size()); }
  // Changes with every upload, so a recording of the draw knows that the
  // names it binds are stale.
  unsigned Generation() const { return m_nGeneration; }
  // A one-texel white texture made with every upload that has an image:
  // modulating by it leaves a colour exactly as it is, so a replayed frame
  // can draw untextured polygons without turning texturing off and on
  // between them. 0 when there is none.
  unsigned WhiteName() const { return m_nWhite; }

  // The largest side the current context takes; 0 when it does not say.
  static int MaxTextureSize();

 private:
  // Entry k holds the texture object of the model's m_vecTextures[k].
  std::vector<unsigned> m_vecNames;
  unsigned m_nGeneration = 0;
  unsigned m_nWhite = 0;
};
