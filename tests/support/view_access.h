// What tests read inside the view: the drag state its mouse events leave
// and its OpenGL context.
#pragma once

#include "view/zorvik_view.h"

struct ViewTestAccess {
  static bool LeftDown(const CZorvikView& view) { return view.m_bLeftDown; }
  static bool RightDown(const CZorvikView& view) { return view.m_bRightDown; }
  static double& KeyStep(CZorvikView& view) { return view.m_dStep; }
  static wxGLContext* Context(const CZorvikView& view) { return view.m_hRC; }
};
