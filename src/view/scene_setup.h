// The fixed OpenGL state of the scene, re-established on every resize of the
// view and once by the headless renderer. Needs no window toolkit.
#pragma once

class CQuodraDoc;

// Viewport, projection for a cx x cy client area, model-view identity and
// the fixed state, then the document's light and clear colour. Everything
// the view's OnSize does after the default handling, except copying the
// palette choice into the view.
void SetupScene(CQuodraDoc& doc, int cx, int cy);
