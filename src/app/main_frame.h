// The main window: menus, accelerators, toolbar, status bar and the one
// view. Commands reach the view first, then the frame, then the
// application.
#pragma once

#include <memory>

#include <wx/aui/framemanager.h>
#include <wx/frame.h>

class CRecentFiles;
class CZorvikDoc;
struct SettingsResult;
class CZorvikView;
class wxStatusBar;
class wxToolBar;

// Shows what reading or writing the settings had to say, in order, and
// ends the program when it cannot go on.
void ShowSettingsMessages(const SettingsResult& result);

class CMainFrame : public wxFrame {
 public:
  // The document is not owned; it outlives the frame.
  explicit CMainFrame(CZorvikDoc* doc);
  ~CMainFrame() override;

  // Creates the window with its toolbar, status bar, menus, accelerators
  // and view. False when any part cannot be made; the caller destroys the
  // frame then.
  bool OnCreate();

  CZorvikDoc* GetDocument() const { return m_pDocument; }
  CZorvikView* GetView() const { return m_pView; }

  // The size, place, maximised state and bars kept from the last run, put
  // back before the window is first shown; kept again when it closes.
  void RestorePlacement();
  void SavePlacement();

  // File New on the one document: the new-document step runs again and
  // the model stays shown.
  void NewDocument();

  // The message pane: a command's prompt while it is pointed at, the idle
  // text otherwise.
  void DoGiveHelp(const wxString& text, bool show) override;

  // The toolbar, wherever it is docked or floating. The layout manager
  // holds it, not the frame: the toolkit's own accessor finds none and must
  // not, since Windows' frame would then place the bar itself, over the
  // layout manager's dock, and take its room out of the client area.
  wxToolBar* GetMainToolBar() const { return m_wndToolBar; }

  // The toolbar's buttons follow their commands with the frame, docked or
  // floating in a window of its own.
  void UpdateWindowUI(long flags = wxUPDATE_UI_NONE) override;

  // The layout manager of the toolbar and the view; the toolbar's pane is
  // reached through it to dock, float, show or hide the bar.
  wxAuiManager& GetDockManager() { return m_auiManager; }

  wxStatusBar* m_wndStatusBar = nullptr;
  wxToolBar* m_wndToolBar = nullptr;
  // The numbered last models at the end of the File menu.
  std::unique_ptr<CRecentFiles> m_pRecentFiles;

 protected:
  bool TryBefore(wxEvent& event) override;
  // The toolbar is laid out with the view by the dock manager, so the
  // frame must not stretch the view over it as its only child.
  bool IsClientAreaChild(const wxWindow* child) const override;

 private:
  bool CreateToolBarAndImages();
  bool CreateStatusBarPanes();
  void CreateMenus();
  void CreateAccelerators();
  void DockToolBar();
  void FitToolBarToDock();
  void BindHandlers();

  void OnClose(wxCloseEvent& event);
  void OnAppExit(wxCommandEvent& event);
  void OnHelpControls(wxCommandEvent& event);
  void OnViewToolbar(wxCommandEvent& event);
  void OnViewStatusBar(wxCommandEvent& event);
  void OnUpdateViewToolbar(wxUpdateUIEvent& event);
  void OnUpdateViewStatusBar(wxUpdateUIEvent& event);
  void OnUpdateUnavailable(wxUpdateUIEvent& event);
  void OnIdle(wxIdleEvent& event);
  void OnSizeOrMove(wxEvent& event);
  void OnToolEnter(wxCommandEvent& event);
  void UpdateLockIndicators();

  CZorvikDoc* m_pDocument = nullptr;
  CZorvikView* m_pView = nullptr;
  bool m_bRoutingToView = false;
  // The size and place of the window when neither maximised nor minimised.
  wxRect m_rectNormal;
  wxAuiManager m_auiManager;
};
