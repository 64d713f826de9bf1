// The scene: the fixed OpenGL state set on every resize of the view (and
// once by the headless renderer), the light, and the camera transform
// under which the model is drawn. Needs no window toolkit.
#pragma once

class CDrawRecording;
class CModel;
class CTextureSet;

namespace scene {

// The camera as the document holds it: angles in degrees, applied about Z,
// then Y, then X, after the uniform scale, then moved by the pan and the
// distance.
struct Camera {
  double dRotX = 0.0;
  double dRotY = 0.0;
  double dRotZ = 0.0;
  double dScale = 1.0;
  double dDistance = 30.0;
  double dPanX = 0.0;
  double dPanY = 0.0;
};

// Viewport and projection for a cx x cy client area, model-view identity
// and the fixed state: back buffer, colour material, smooth shading,
// lighting, depth test, culling of front faces, alpha test.
void SetupScene(int cx, int cy);

// Light 0 and the clear colour (red, green, blue from 0 to 1).
void InitScene(double red, double green, double blue);

// The clear colour alone, as the background-colour command sets it.
void SetClearColour(double red, double green, double blue);

// Outlines (kPolygonModeLine) or faces (kPolygonModeFill) for both faces.
void SetPolygonMode(int mode);

// How far the pan moves the model for one pixel of a window viewportHeight
// pixels high, at the camera distance: a drag by that much keeps the point
// of the model at the centre of the turn under the pointer.
double PanUnitsPerPixel(double distance, int viewportHeight);

// Clears, applies the camera and draws the model: by replaying recording
// (recorded first when needed) when one is given, in immediate mode
// otherwise. Both give the same picture.
void DrawScene(const Camera& camera, const CModel& model, const CTextureSet& textures,
               int polygonMode, CDrawRecording* recording = nullptr);

}  // namespace scene
