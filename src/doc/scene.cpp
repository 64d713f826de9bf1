#include <GL/gl.h>

#include "doc/quodra_doc.h"

namespace {

// Light 0: a strong ambient term so unlit sides stay readable, a soft
// diffuse one from the upper right front.
constexpr GLfloat kLightAmbient[4] = {0.6f, 0.6f, 0.6f, 0.6f};
constexpr GLfloat kLightDiffuse[4] = {0.3f, 0.3f, 0.3f, 0.3f};
constexpr GLfloat kLightSpecular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
// w = 0: a directional light along (1, 1, 1), set while the model-view
// matrix is the identity, so it stays fixed to the eye as the model turns.
constexpr GLfloat kLightPosition[4] = {1.0f, 1.0f, 1.0f, 0.0f};

}  // namespace

void CQuodraDoc::InitScene() {
  glLightfv(GL_LIGHT0, GL_AMBIENT, kLightAmbient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, kLightDiffuse);
  glLightfv(GL_LIGHT0, GL_SPECULAR, kLightSpecular);
  glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
  glEnable(GL_LIGHT0);
  glClearColor(static_cast<GLfloat>(m_dBkRed), static_cast<GLfloat>(m_dBkGreen),
               static_cast<GLfloat>(m_dBkBlue), 1.0f);
}

void CQuodraDoc::DrawScene() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  glTranslated(m_dPanX, m_dPanY, -m_dDistance);
  // Each call multiplies onto the matrix: the model turns about Z first,
  // then Y, then X, so X always turns about the screen's horizontal axis.
  glRotated(m_dRotX, 1.0, 0.0, 0.0);
  glRotated(m_dRotY, 0.0, 1.0, 0.0);
  glRotated(m_dRotZ, 0.0, 0.0, 1.0);
  const GLfloat scale = static_cast<GLfloat>(m_dScale);
  glScalef(scale, scale, scale);
  m_model.Draw();
  glPopMatrix();
}
