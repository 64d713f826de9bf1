#include "view/scene_setup.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "doc/quodra_doc.h"

namespace {

constexpr double kFieldOfViewY = 45.0;
constexpr double kNearPlane = 1.0;
constexpr double kFarPlane = 10000.0;
constexpr GLfloat kAlphaReference = 0.5f;

}  // namespace

void SetupScene(CQuodraDoc& doc, int cx, int cy) {
  glViewport(0, 0, cx, cy);

  // A zero height (a minimised window) must not divide by zero: the width
  // stands in for the aspect ratio then.
  const double aspect = cy == 0 ? static_cast<double>(cx) : static_cast<double>(cx) / cy;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(kFieldOfViewY, aspect, kNearPlane, kFarPlane);

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  glDrawBuffer(GL_BACK);
  // Colour material keeps its default face and mode; the model's draw sets
  // both the material and the current colour, so either path lights alike.
  glEnable(GL_COLOR_MATERIAL);
  glShadeModel(GL_SMOOTH);
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  // The models wind their visible faces clockwise on screen, so it is the
  // counter-clockwise (front) faces that are hidden.
  glEnable(GL_CULL_FACE);
  glCullFace(GL_FRONT);
  // Transparent texels carry alpha 0 and must leave holes.
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, kAlphaReference);

  doc.InitScene();
}
