// Drawing a model with the current OpenGL context: one GL_POLYGON per
// polygon, in immediate mode, with the scene state the scene set-up left.
#pragma once

class CModel;
class CTextureSet;

// OpenGL's polygon modes, the two looks of the viewer.
inline constexpr int kPolygonModeLine = 0x1B01;  // GL_LINE, wireframe look
inline constexpr int kPolygonModeFill = 0x1B02;  // GL_FILL, textured look

// Draws every polygon of the model; textured materials bind their texture
// from textures. In the wireframe look (kPolygonModeLine) every polygon is
// white and untextured.
void Draw(const CModel& model, const CTextureSet& textures, int polygonMode);
