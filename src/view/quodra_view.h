// The one view: a wxGLCanvas that owns the rendering context, draws the
// document's model, and carries navigation and the display commands.
#pragma once

#include <string>

#include <wx/glcanvas.h>

#include "model/model.h"

class CQuodraDoc;

class CQuodraView : public wxGLCanvas {
 public:
  CQuodraView(wxWindow* parent, CQuodraDoc* doc, const wxGLAttributes& attrs);
  ~CQuodraView() override;

  CQuodraDoc* GetDocument() const { return m_pDocument; }

  // The attributes asked of the display; the platform's defaults stand in
  // when it offers none of them (see quodra_view.cpp).
  static wxGLAttributes ChoosePixelFormat(int* pixelFormat);

  // Opens a model as File Open does after its dialog: load, key step,
  // title, remembered directory, repaint. Also used for a file named on
  // the command line.
  void OpenModel(const std::string& path);

  // Context and scene (quodra_view.cpp).
  bool CreateGLContext();
  void OnSize(wxSizeEvent& event);
  void OnPaint(wxPaintEvent& event);
  void OnEraseBackground(wxEraseEvent& event);
  void OnFileOpen(wxCommandEvent& event);

  // Navigation (navigation.cpp).
  void OnLButtonDown(wxMouseEvent& event);
  void OnLButtonUp(wxMouseEvent& event);
  void OnRButtonDown(wxMouseEvent& event);
  void OnRButtonUp(wxMouseEvent& event);
  void OnMouseMove(wxMouseEvent& event);
  void OnMouseCaptureLost(wxMouseCaptureLostEvent& event);
  void OnKeyDown(wxKeyEvent& event);

  // Display commands (view_commands.cpp).
  void OnLButtonDblClk(wxMouseEvent& event);
  void SetPolygonMode(int mode);
  void SwitchPalette(int index);
  void OnViewSanfranPalette(wxCommandEvent& event);
  void OnViewSeattlePalette(wxCommandEvent& event);
  void OnViewWireframe(wxCommandEvent& event);
  void OnViewTextured(wxCommandEvent& event);
  void OnUpdateViewSanfranPalette(wxUpdateUIEvent& event);
  void OnUpdateViewSeattlePalette(wxUpdateUIEvent& event);
  void OnUpdateViewWireframe(wxUpdateUIEvent& event);
  void OnUpdateViewTextured(wxUpdateUIEvent& event);
  void OnViewBkgndColor(wxCommandEvent& event);
  void OnViewModelInfo(wxCommandEvent& event);
  void OnUpdateViewModelInfo(wxUpdateUIEvent& event);

  // Export (file_save.cpp).
  void OnFileSave(wxCommandEvent& event);

  // Invalidate the whole client area; erase says whether the background is
  // erased first.
  void InvalidateView(bool erase);

  wxGLContext* m_hRC = nullptr;
  int m_nPixelFormat = 0;
  wxPoint m_ptLastLeft;
  bool m_bLeftDown = false;
  wxPoint m_ptLastRight;
  bool m_bRightDown = false;
  std::string m_strModelPath;
  double m_dStep = 0.0;
  int m_nPalette = 0;
  int m_nPolygonMode = kPolygonModeFill;

 private:
  void BindHandlers();

  CQuodraDoc* m_pDocument = nullptr;
};
