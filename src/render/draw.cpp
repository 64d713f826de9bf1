#include "render/draw.h"

#include <GL/gl.h>

#include "model/model.h"
#include "render/draw_walk.h"
#include "render/texture_set.h"

namespace {

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

}  // namespace

void Draw(const CModel& model, const CTextureSet& textures, int polygonMode) {
  ImmediateSink sink;
  drawwalk::Walk(model, textures, polygonMode, sink);
}
