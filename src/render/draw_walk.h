// The walk over a model's polygons that both ways of drawing share: the
// immediate draw sends each call as it goes, the recording keeps them for
// replay. One walk makes sure that both issue the same stream: the same
// polygons and corners, colours and texture binds, in the same order.
#pragma once

#include <GL/gl.h>

#include <algorithm>
#include <cstddef>

#include "model/model.h"
#include "render/draw.h"
#include "render/texture_set.h"

namespace drawwalk {

inline constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
inline constexpr int kNoTexture = -1;

// Models keep the polygons of one material together, so most polygons need
// the state the previous one left. Every change of texture or material ends
// the driver's batch of vertices; repeating an unchanged one costs as much
// as a real change. This cache passes on only the calls that change
// something; it starts empty with every walk, so the first polygon sets
// everything.
//
// A Sink takes: EnableTexture(), DisableTexture(), BindTexture(name),
// Colour(rgba) (the material and, because colour material makes drivers
// such as Mesa light with the current colour instead, the current colour
// too), BeginPolygon(), Corner(vertex, u, v), EndPolygon().
template <typename Sink>
class DrawState {
 public:
  explicit DrawState(Sink& sink) : m_sink(sink) {}

  void Texture(bool on, unsigned name) {
    if (on) {
      if (m_texturing != kOn) m_sink.EnableTexture();
      if (m_texturing != kOn || !m_bound || m_name != name) m_sink.BindTexture(name);
      m_bound = true;
      m_name = name;
      m_texturing = kOn;
    } else if (m_texturing != kOff) {
      m_sink.DisableTexture();
      m_texturing = kOff;
    }
  }

  void Colour(const float colour[4]) {
    if (m_colourSet && std::equal(colour, colour + 4, m_colour)) return;
    m_sink.Colour(colour);
    std::copy(colour, colour + 4, m_colour);
    m_colourSet = true;
  }

 private:
  enum Texturing { kUnknown, kOn, kOff };
  Sink& m_sink;
  Texturing m_texturing = kUnknown;
  bool m_bound = false;
  unsigned m_name = 0;
  bool m_colourSet = false;
  float m_colour[4] = {};
};

// Whether the texture of entry texIndex can be bound: the index names an
// entry whose image was uploaded.
inline bool HasImage(const CModel& model, int texIndex) {
  return texIndex >= 0 && static_cast<std::size_t>(texIndex) < model.Textures().size() &&
         model.Textures()[static_cast<std::size_t>(texIndex)].pPixels != nullptr;
}

template <typename Sink>
void Walk(const CModel& model, const CTextureSet& textures, int polygonMode, Sink& sink) {
  // The reader refuses files whose indices run outside the arrays; the
  // checks below cost a compare each and keep a model filled any other way
  // from reading out of bounds.
  const std::size_t polygonCount = std::min(
      static_cast<std::size_t>(std::max(model.PolygonCount(), 0)), model.Polygons().size());
  const std::size_t vertexCount = model.Vertices().size();
  const std::size_t texCoordCount = model.TexCoords().size();
  const bool wireframe = polygonMode == kPolygonModeLine;
  DrawState<Sink> state(sink);

  for (std::size_t i = 0; i < polygonCount; ++i) {
    const Polygon& polygon = model.Polygons()[i];
    float colour[4] = {kWhite[0], kWhite[1], kWhite[2], kWhite[3]};
    int texIndex = kNoTexture;

    const Material* material = polygon.pMaterial;
    if (material == nullptr) {
      colour[0] = static_cast<float>(model.DefaultColor()[0]);
      colour[1] = static_cast<float>(model.DefaultColor()[1]);
      colour[2] = static_cast<float>(model.DefaultColor()[2]);
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
    state.Texture(texturing, texturing ? textures.Name(texIndex) : 0u);
    state.Colour(colour);

    const std::size_t corners =
        std::min(static_cast<std::size_t>(std::max(polygon.nVerts, 0)), polygon.vecVertIdx.size());
    const std::size_t texCorners = polygon.vecTexIdx.size();
    sink.BeginPolygon();
    for (std::size_t j = 0; j < corners; ++j) {
      const int vertexIndex = polygon.vecVertIdx[j];
      if (vertexIndex < 0 || static_cast<std::size_t>(vertexIndex) >= vertexCount) continue;
      const Vertex& vertex = model.Vertices()[static_cast<std::size_t>(vertexIndex)];
      float u = 0.0f;
      float v = 0.0f;
      if (texturing && j < texCorners) {
        const int texCoordIndex = polygon.vecTexIdx[j];
        if (texCoordIndex >= 0 && static_cast<std::size_t>(texCoordIndex) < texCoordCount) {
          const TexCoord& texCoord = model.TexCoords()[static_cast<std::size_t>(texCoordIndex)];
          u = texCoord.u;
          v = texCoord.v;
        }
      }
      sink.Corner(vertex, u, v);
    }
    sink.EndPolygon();
  }
}

// Each call of the walk goes straight to OpenGL.
struct ImmediateSink {
  void EnableTexture() { glEnable(GL_TEXTURE_2D); }
  void DisableTexture() { glDisable(GL_TEXTURE_2D); }
  void BindTexture(unsigned name) { glBindTexture(GL_TEXTURE_2D, name); }
  void Colour(const float colour[4]) {
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, colour);
    glColor4fv(colour);
  }
  void BeginPolygon() { glBegin(GL_POLYGON); }
  void Corner(const Vertex& vertex, float u, float v) {
    glNormal3d(vertex.nx, vertex.ny, vertex.nz);
    glTexCoord2f(u, v);
    glVertex3f(vertex.x, vertex.y, vertex.z);
  }
  void EndPolygon() { glEnd(); }
};

}  // namespace drawwalk
