// The one view: a wxGLCanvas that owns the rendering context, draws the
// document's model, and carries navigation and the display commands.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <wx/glcanvas.h>

class CZorvikDoc;
struct OpenResult;

// The pan and zoom keys move by this share of the camera's fit distance,
// taken after every open.
inline constexpr double kKeyStepFactor = 0.02;
// One notch of the mouse wheel zooms by this factor.
inline constexpr double kWheelZoomFactor = 1.1;
// No zoom brings the camera closer than this (the mouse wheel and the keys
// alike; the right-button zoom too).
inline constexpr double kMinDistance = 0.1;
inline double ClampedDistance(double distance) {
  return distance < kMinDistance ? kMinDistance : distance;
}

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
  // the command line, a dropped file, the folder and the recent files.
  // True when the model was read; the frame hears of it then
  // (EVT_ZORVIK_MODEL_OPENED). Textures are uploaded into the view's own
  // context, so a model asked for before the view is on screen (at
  // start-up, a window manager maps the window some time after it was
  // shown) is opened once the context can be made current; false until
  // then.
  bool OpenModel(const std::string& path);
  // Runs action after the current event once the view has painted on the
  // display: at once when it has, otherwise after its first paint. Actions
  // run in the order they were asked for.
  void CallWhenShown(std::function<void()> action);
  // Whether the view has painted a frame on the display.
  bool HasPainted() const { return m_bPainted; }

  // Context and scene (zorvik_view.cpp).
  bool CreateGLContext();
  // Whether the view's context is current, so that textures can be set up.
  bool HasCurrentContext() const;
  // Makes the view's context current when the view is on screen, setting
  // the scene up the first time. False while the window is not mapped.
  bool MakeContextCurrent();

  // The look and the palette, as the menu, toolbar and keys choose them.
  void SetPolygonMode(int mode);
  void SwitchPalette(int index);

  // Invalidate the whole client area; erase says whether the background is
  // erased first.
  void InvalidateView(bool erase);

  // The model on screen, empty before the first open, and how far the pan
  // and zoom keys move (a share of the camera's fit distance).
  const std::string& ModelPath() const { return m_strModelPath; }
  double KeyStep() const { return m_dStep; }

 private:
  // Tests look at the drag state the events leave behind.
  friend struct ViewTestAccess;

  void OnSize(wxSizeEvent& event);
  void OnPaint(wxPaintEvent& event);
  void OnEraseBackground(wxEraseEvent& event);
  void OnFileOpen(wxCommandEvent& event);
  void AskAndOpen(const char* filter, const char* defaultExt);
  void OnFileImport(wxCommandEvent& event);  // import_command.cpp

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
  void OnFileExport(wxCommandEvent& event);
  void OnUpdateFileExport(wxUpdateUIEvent& event);

  // Desktop habits (desktop_handlers.cpp binds them): the wheel and the
  // middle drag (wheel_pan.cpp), the neighbouring models of the folder
  // (folder_browse.cpp), the view as a picture (save_picture.cpp).
  void BindDesktopHandlers();
  void OnMouseWheel(wxMouseEvent& event);
  void OnMButtonDown(wxMouseEvent& event);
  void OnMButtonUp(wxMouseEvent& event);
  void OnMiddleDrag(wxMouseEvent& event);
  void OpenNeighbourModel(int step);
  void OnViewNextModel(wxCommandEvent& event);
  void OnViewPrevModel(wxCommandEvent& event);
  void OnUpdateViewFolderModel(wxUpdateUIEvent& event);
  void OnFileSavePicture(wxCommandEvent& event);
  // Draws the frame again and encodes it as PNG, the size of the view.
  bool RenderPicture(std::vector<std::uint8_t>& png, std::string& error);

  wxGLContext* m_hRC = nullptr;
  wxPoint m_ptLastLeft;
  bool m_bLeftDown = false;
  wxPoint m_ptLastRight;
  bool m_bRightDown = false;
  // The palette choice and the look are the document's (m_nPalette,
  // m_nPolygonMode); the view keeps no copy of them.
  std::string m_strModelPath;
  double m_dStep = 0.0;
  wxPoint m_ptLastMiddle;
  bool m_bMiddleDown = false;
  // The folder's file that last failed to open, and the model shown then.
  std::string m_strFailedNeighbour;
  std::string m_strFailedNeighbourOf;

  void BindHandlers();
  // A button of a drag going down or up (navigation.cpp): its state, its
  // last point and the mouse capture the drags share.
  void BeginDrag(wxMouseEvent& event, bool& down, wxPoint& last);
  void EndDrag(wxMouseEvent& event, bool& down);
  void RunWhenShown();
  // Has the document open path through palette index, under the wait
  // cursor, and shows what went wrong or is missing, in that order.
  OpenResult LoadIntoDocument(const std::string& path, int palette);

  CZorvikDoc* m_pDocument = nullptr;
  std::vector<std::function<void()>> m_vecWhenShown;
  bool m_bPainted = false;
};
