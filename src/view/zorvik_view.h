// The one view: a wxGLCanvas that owns the rendering context, draws the
// document's model, and carries navigation and the display commands.
#pragma once

#include <string>

#include <wx/glcanvas.h>

class CZorvikDoc;

// The pan and zoom keys move by this share of the camera's fit distance,
// taken after every open.
inline constexpr double kKeyStepFactor = 0.02;

class CZorvikView : public wxGLCanvas {
 public:
  CZorvikView(wxWindow* parent, CZorvikDoc* doc, const wxGLAttributes& attrs);
  ~CZorvikView() override;

  CZorvikDoc* GetDocument() const { return m_pDocument; }

  // The surface asked of the display: the request, or the nearest one the
  // display offers (see zorvik_view.cpp).
  static wxGLAttributes ChoosePixelFormat();

  // Opens a model as File Open does after its dialog: load, key step,
  // title, remembered directory, repaint. Also used for a file named on
  // the command line.
  void OpenModel(const std::string& path);

  // Context and scene (zorvik_view.cpp).
  bool CreateGLContext();
  // Whether the view's context is current, so that textures can be set up.
  bool HasCurrentContext() const;
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
  wxPoint m_ptLastLeft;
  bool m_bLeftDown = false;
  wxPoint m_ptLastRight;
  bool m_bRightDown = false;
  // The palette choice and the look are the document's (m_nPalette,
  // m_nPolygonMode); the view keeps no copy of them.
  std::string m_strModelPath;
  double m_dStep = 0.0;

 private:
  void BindHandlers();

  CZorvikDoc* m_pDocument = nullptr;
};
