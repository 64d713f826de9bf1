#include "render/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "render/draw.h"
#include "render/draw_recording.h"

namespace scene {
namespace {

constexpr double kFieldOfViewY = 45.0;
constexpr double kNearPlane = 1.0;
constexpr double kFarPlane = 10000.0;
constexpr GLfloat kAlphaReference = 0.5f;

// Light 0: a strong ambient term so unlit sides stay readable, a soft
// diffuse one from the upper right front.
constexpr GLfloat kLightAmbient[4] = {0.6f, 0.6f, 0.6f, 0.6f};
constexpr GLfloat kLightDiffuse[4] = {0.3f, 0.3f, 0.3f, 0.3f};
constexpr GLfloat kLightSpecular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
// w = 0: a directional light along (1, 1, 1), set while the model-view
// matrix is the identity, so it stays fixed to the eye as the model turns.
constexpr GLfloat kLightPosition[4] = {1.0f, 1.0f, 1.0f, 0.0f};

}  // namespace

void SetupScene(int cx, int cy) {
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
}

void InitScene(double red, double green, double blue) {
  glLightfv(GL_LIGHT0, GL_AMBIENT, kLightAmbient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, kLightDiffuse);
  glLightfv(GL_LIGHT0, GL_SPECULAR, kLightSpecular);
  glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
  glEnable(GL_LIGHT0);
  SetClearColour(red, green, blue);
}

void SetClearColour(double red, double green, double blue) {
  glClearColor(static_cast<GLfloat>(red), static_cast<GLfloat>(green), static_cast<GLfloat>(blue),
               1.0f);
}

double PanUnitsPerPixel(double distance, int viewportHeight) {
  if (viewportHeight <= 0) return 0.0;
  const double halfAngle = kFieldOfViewY / 2.0 * M_PI / 180.0;
  return 2.0 * distance * std::tan(halfAngle) / viewportHeight;
}

void SetPolygonMode(int mode) { glPolygonMode(GL_FRONT_AND_BACK, static_cast<GLenum>(mode)); }

void DrawScene(const Camera& camera, const CModel& model, const CTextureSet& textures,
               int polygonMode, CDrawRecording* recording) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  glTranslated(camera.dPanX, camera.dPanY, -camera.dDistance);
  // Each call multiplies onto the matrix: the model turns about Z first,
  // then Y, then X, so X always turns about the screen's horizontal axis.
  glRotated(camera.dRotX, 1.0, 0.0, 0.0);
  glRotated(camera.dRotY, 0.0, 1.0, 0.0);
  glRotated(camera.dRotZ, 0.0, 0.0, 1.0);
  const GLfloat scale = static_cast<GLfloat>(camera.dScale);
  glScalef(scale, scale, scale);
  if (recording != nullptr) {
    recording->Draw(model, textures, polygonMode);
  } else {
    Draw(model, textures, polygonMode);
  }
  glPopMatrix();
}

}  // namespace scene
