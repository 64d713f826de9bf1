#include "render/draw.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstddef>

#include "model/model.h"
#include "render/texture_set.h"

namespace {

constexpr GLfloat kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr int kNoTexture = -1;

// Models keep the polygons of one material together, so most polygons need
// the state the previous one left. Every change of texture or material ends
// the driver's batch of vertices; repeating an unchanged one costs as much
// as a real change. This cache issues only the calls that change something;
// it starts empty with every frame, so the first polygon sets everything.
class DrawState {
 public:
  void Texture(bool on, GLuint name) {
    if (on) {
      if (m_texturing != kOn) glEnable(GL_TEXTURE_2D);
      if (m_texturing != kOn || !m_bound || m_name != name) glBindTexture(GL_TEXTURE_2D, name);
      m_bound = true;
      m_name = name;
      m_texturing = kOn;
    } else if (m_texturing != kOff) {
      glDisable(GL_TEXTURE_2D);
      m_texturing = kOff;
    }
  }

  // The material and, because colour material makes drivers such as Mesa
  // light with the current colour instead, the current colour too.
  void Colour(const GLfloat colour[4]) {
    if (m_colourSet && std::equal(colour, colour + 4, m_colour)) return;
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, colour);
    glColor4fv(colour);
    std::copy(colour, colour + 4, m_colour);
    m_colourSet = true;
  }

 private:
  enum Texturing { kUnknown, kOn, kOff };
  Texturing m_texturing = kUnknown;
  bool m_bound = false;
  GLuint m_name = 0;
  bool m_colourSet = false;
  GLfloat m_colour[4] = {};
};

// Whether the texture of entry texIndex can be bound: the index names an
// entry whose image was uploaded.
bool HasImage(const CModel& model, int texIndex) {
  return texIndex >= 0 && static_cast<std::size_t>(texIndex) < model.m_vecTextures.size() &&
         model.m_vecTextures[static_cast<std::size_t>(texIndex)].pPixels != nullptr;
}

}  // namespace

void Draw(const CModel& model, const CTextureSet& textures, int polygonMode) {
  // The reader refuses files whose indices run outside the arrays; the
  // checks below cost a compare each and keep a model filled any other way
  // from reading out of bounds.
  const std::size_t polygonCount = std::min(
      static_cast<std::size_t>(std::max(model.m_nPolygons, 0)), model.m_vecPolygons.size());
  const std::size_t vertexCount = model.m_vecVertices.size();
  const std::size_t texCoordCount = model.m_vecTexCoords.size();
  const bool wireframe = polygonMode == kPolygonModeLine;
  DrawState state;

  for (std::size_t i = 0; i < polygonCount; ++i) {
    const Polygon& polygon = model.m_vecPolygons[i];
    GLfloat colour[4] = {kWhite[0], kWhite[1], kWhite[2], kWhite[3]};
    int texIndex = kNoTexture;

    const Material* material = polygon.pMaterial;
    if (material == nullptr) {
      colour[0] = static_cast<GLfloat>(model.m_dDefRed);
      colour[1] = static_cast<GLfloat>(model.m_dDefGreen);
      colour[2] = static_cast<GLfloat>(model.m_dDefBlue);
    } else if (material->nKind == kColourKind) {
      // The material's own alpha plays no part: polygons are opaque.
      colour[0] = material->fColor[0];
      colour[1] = material->fColor[1];
      colour[2] = material->fColor[2];
    } else {
      // A texture that is missing or never reached the driver leaves the
      // polygon white and untextured.
      texIndex = HasImage(model, material->nTexIndex) ? material->nTexIndex : kNoTexture;
    }

    // Wireframe draws every polygon white and untextured.
    if (wireframe) std::copy(kWhite, kWhite + 4, colour);
    const bool texturing = texIndex != kNoTexture && !wireframe;
    state.Texture(texturing, texturing ? textures.Name(texIndex) : GLuint{0});
    state.Colour(colour);

    const std::size_t corners =
        std::min(static_cast<std::size_t>(std::max(polygon.nVerts, 0)), polygon.vecVertIdx.size());
    glBegin(GL_POLYGON);
    for (std::size_t j = 0; j < corners; ++j) {
      const int vertexIndex = polygon.vecVertIdx[j];
      if (vertexIndex < 0 || static_cast<std::size_t>(vertexIndex) >= vertexCount) continue;
      const Vertex& vertex = model.m_vecVertices[static_cast<std::size_t>(vertexIndex)];
      GLfloat u = 0.0f;
      GLfloat v = 0.0f;
      if (texturing && j < polygon.vecTexIdx.size()) {
        const int texCoordIndex = polygon.vecTexIdx[j];
        if (texCoordIndex >= 0 && static_cast<std::size_t>(texCoordIndex) < texCoordCount) {
          const TexCoord& texCoord = model.m_vecTexCoords[static_cast<std::size_t>(texCoordIndex)];
          u = texCoord.u;
          v = texCoord.v;
        }
      }
      glNormal3d(vertex.nx, vertex.ny, vertex.nz);
      glTexCoord2f(u, v);
      glVertex3f(vertex.x, vertex.y, vertex.z);
    }
    glEnd();
  }
}
