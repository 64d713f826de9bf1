#include "app/main_frame.h"

#include <array>
#include <vector>

#include <wx/accel.h>
#include <wx/aui/dockart.h>
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include "app/failure_report.h"
#include "app/icons.h"
#include "app/recent_files.h"
#include "app/resources.h"
#include "app/toolkit_settings.h"
#include "doc/zorvik_doc.h"
#include "platform/platform_wx.h"
#include "view/command_binding.h"
#include "view/command_ids.h"
#include "view/controls_dlg.h"
#include "view/model_drop.h"
#include "view/zorvik_view.h"

namespace {

// Commands the window offers no action for: their keys are taken so they
// do nothing, and they show disabled wherever they might appear.
constexpr std::array<int, 6> kUnavailableCommands = {ID_EDIT_UNDO,  ID_EDIT_CUT,  ID_EDIT_COPY,
                                                     ID_EDIT_PASTE, ID_NEXT_PANE, ID_PREV_PANE};

struct LockIndicator {
  int field;
  bool (*isOn)();
  const char* text;
};

// The toolkit tells the lock state of Caps Lock and Num Lock, but only
// whether the Scroll Lock key is held; the platform layer reads its light.
bool CapsLockOn() { return wxGetKeyState(WXK_CAPITAL); }
bool NumLockOn() { return wxGetKeyState(WXK_NUMLOCK); }

constexpr std::array kLockIndicators = {
    LockIndicator{1, CapsLockOn, kCapsIndicator},
    LockIndicator{2, NumLockOn, kNumIndicator},
    LockIndicator{3, platform::IsScrollLockOn, kScrollIndicator},
};

// Room for a model at a useful size on any screen of today.
const wxSize kStartSize(800, 600);

constexpr int kStatusFieldCount = 4;
constexpr int kMessageField = 0;

// The toolbar's pane in the dock manager.
constexpr const char* kToolBarPaneName = "toolbar";

wxMenuItem* AppendCommand(wxMenu* menu, int id, const char* label,
                          wxItemKind kind = wxITEM_NORMAL) {
  return menu->Append(id, wxString::FromUTF8(label), wxString::FromUTF8(CommandPrompt(id)), kind);
}

}  // namespace

CMainFrame::CMainFrame(CZorvikDoc* doc) : m_pDocument(doc) {}

// The manager must let go of the frame before the frame's windows go.
CMainFrame::~CMainFrame() { m_auiManager.UnInit(); }

bool CMainFrame::OnCreate() {
  if (!wxFrame::Create(nullptr, wxID_ANY, kAppTitle, wxDefaultPosition, kStartSize)) return false;
  SetIcons(MakeAppIcons());
  // Toolbar first, then status bar: the order the frame lays them out in.
  if (!CreateToolBarAndImages()) return false;
  if (!CreateStatusBarPanes()) return false;
  CreateMenus();
  CreateAccelerators();

  m_pView = new CZorvikView(this, m_pDocument, CZorvikView::ChoosePixelFormat());
  m_pView->SetDropTarget(new CModelDropTarget(m_pView));

  DockToolBar();
  BindHandlers();
  platform::KeepAboveMinimumSize(this);
  return true;
}

bool CMainFrame::CreateToolBarAndImages() {
  // The frame does not own the bar as its toolbar: the dock manager lays
  // it out, so that it can dock on any side or float. Without the divider
  // Windows draws along a frame's own toolbar, which would push the buttons
  // down out of the dock's row.
  auto* bar = new wxToolBar;
  if (!bar->Create(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                   wxTB_HORIZONTAL | wxTB_FLAT | wxTB_NODIVIDER)) {
    delete bar;
    return false;
  }
  m_wndToolBar = bar;
  m_wndToolBar->SetToolBitmapSize(wxSize(kToolImageWidth, kToolImageHeight));

  // Only Open carries a tooltip; every button shows its prompt in the
  // status bar while pointed at.
  const auto addTool = [this](int id, ToolImage image, wxItemKind kind) {
    m_wndToolBar->AddTool(id, wxEmptyString, MakeToolBitmap(image), wxNullBitmap, kind,
                          wxString::FromUTF8(CommandTooltip(id)),
                          wxString::FromUTF8(CommandPrompt(id)));
  };
  addTool(ID_FILE_OPEN, ToolImage::Open, wxITEM_NORMAL);
  m_wndToolBar->AddSeparator();
  addTool(ID_VIEW_SANFRAN_PALETTE, ToolImage::SanfranPalette, wxITEM_CHECK);
  addTool(ID_VIEW_SEATTLE_PALETTE, ToolImage::SeattlePalette, wxITEM_CHECK);
  m_wndToolBar->AddSeparator();
  addTool(ID_VIEW_WIREFRAME, ToolImage::Wireframe, wxITEM_CHECK);
  addTool(ID_VIEW_TEXTURED, ToolImage::Textured, wxITEM_CHECK);
  m_wndToolBar->AddSeparator();
  addTool(ID_VIEW_BKGND_COLOR, ToolImage::BkgndColor, wxITEM_NORMAL);
  return m_wndToolBar->Realize();
}

bool CMainFrame::CreateStatusBarPanes() {
  m_wndStatusBar = CreateStatusBar(kStatusFieldCount);
  if (m_wndStatusBar == nullptr) return false;
  // The indicator panes are as wide as their text, the message pane takes
  // the rest.
  int widths[kStatusFieldCount] = {-1, 0, 0, 0};
  for (const LockIndicator& lock : kLockIndicators) {
    widths[lock.field] = m_wndStatusBar->GetTextExtent(lock.text).x + 16;
  }
  m_wndStatusBar->SetStatusWidths(kStatusFieldCount, widths);
  SetStatusBarPane(kMessageField);
  SetStatusText(kIdleMessage, kMessageField);
  UpdateLockIndicators();
  return true;
}

// The toolbar starts docked at the top, above the view, and may be dragged
// to any side or out into a window of its own; the view takes what is
// left.
void CMainFrame::DockToolBar() {
  m_auiManager.SetManagedWindow(this);
  // The strip the bar is docked in has the bar's own colour, so a docked
  // bar reads as one band across the window.
  m_auiManager.GetArtProvider()->SetColour(wxAUI_DOCKART_BACKGROUND_COLOUR,
                                           m_wndToolBar->GetBackgroundColour());
  m_auiManager.AddPane(m_wndToolBar, wxAuiPaneInfo()
                                         .Name(kToolBarPaneName)
                                         .ToolbarPane()
                                         .Top()
                                         .Row(0)
                                         .Position(0)
                                         .TopDockable(true)
                                         .BottomDockable(true)
                                         .LeftDockable(true)
                                         .RightDockable(true)
                                         .Floatable(true)
                                         .BestSize(m_wndToolBar->GetBestSize()));
  m_auiManager.AddPane(m_pView, wxAuiPaneInfo().Name("view").CentrePane().PaneBorder(false));
  m_auiManager.Update();
}

// Docked on the left or right the buttons stand in a column, elsewhere in
// a row; the pane takes the bar's new size.
void CMainFrame::FitToolBarToDock() {
  wxAuiPaneInfo& pane = m_auiManager.GetPane(m_wndToolBar);
  if (!pane.IsOk()) return;
  const bool vertical = pane.IsDocked() && (pane.dock_direction == wxAUI_DOCK_LEFT ||
                                            pane.dock_direction == wxAUI_DOCK_RIGHT);
  if (vertical == m_wndToolBar->HasFlag(wxTB_VERTICAL)) return;
  const long style = m_wndToolBar->GetWindowStyleFlag() & ~(wxTB_HORIZONTAL | wxTB_VERTICAL);
  m_wndToolBar->SetWindowStyleFlag(style | (vertical ? wxTB_VERTICAL : wxTB_HORIZONTAL));
  m_wndToolBar->Realize();
  // The bar's minimum, kept from its other orientation, would count into
  // the size it asks for and keep a column as wide as the row was.
  m_wndToolBar->SetMinSize(wxDefaultSize);
  m_wndToolBar->InvalidateBestSize();
  const wxSize size = m_wndToolBar->GetBestSize();
  pane.BestSize(size).FloatingSize(wxDefaultSize);
  m_auiManager.Update();
}

void CMainFrame::CreateMenus() {
  auto* file = new wxMenu;
  AppendCommand(file, ID_FILE_OPEN, "&Open...\tCtrl+O");
  AppendCommand(file, ID_FILE_IMPORT, "&Import...\tCtrl+I");
  AppendCommand(file, ID_FILE_SAVE, "&Save...");
  AppendCommand(file, ID_FILE_EXPORT, "&Export...\tCtrl+E");
  AppendCommand(file, ID_FILE_SAVE_PICTURE, "Save &Picture...");
  file->AppendSeparator();
  AppendCommand(file, ID_APP_EXIT, "E&xit");
  m_pRecentFiles = std::make_unique<CRecentFiles>(
      *this, *file, [this](const std::string& path) { return m_pView->OpenModel(path); });

  auto* view = new wxMenu;
  AppendCommand(view, ID_VIEW_MODEL_INFO, "Model Information");
  view->AppendSeparator();
  AppendCommand(view, ID_VIEW_NEXT_MODEL, "&Next Model in Folder\tCtrl+PgDn");
  AppendCommand(view, ID_VIEW_PREV_MODEL, "&Previous Model in Folder\tCtrl+PgUp");
  view->AppendSeparator();
  AppendCommand(view, ID_VIEW_TOOLBAR, "&Toolbar", wxITEM_CHECK);
  AppendCommand(view, ID_VIEW_STATUS_BAR, "&Status Bar", wxITEM_CHECK);

  auto* help = new wxMenu;
  AppendCommand(help, ID_HELP_CONTROLS, "&Controls\tF1");
  AppendCommand(help, ID_APP_ABOUT, "&About Zorvik...");

  auto* bar = new wxMenuBar;
  bar->Append(file, "&File");
  bar->Append(view, "&View");
  bar->Append(help, "&Help");
  SetMenuBar(bar);
}

void CMainFrame::CreateAccelerators() {
  const wxAcceleratorEntry entries[] = {
      {wxACCEL_CTRL, 'N', ID_FILE_NEW},           {wxACCEL_CTRL, 'O', ID_FILE_OPEN},
      {wxACCEL_CTRL, 'S', ID_FILE_SAVE},          {wxACCEL_CTRL, 'Z', ID_EDIT_UNDO},
      {wxACCEL_CTRL, 'X', ID_EDIT_CUT},           {wxACCEL_CTRL, 'C', ID_EDIT_COPY},
      {wxACCEL_CTRL, 'V', ID_EDIT_PASTE},         {wxACCEL_ALT, WXK_BACK, ID_EDIT_UNDO},
      {wxACCEL_SHIFT, WXK_DELETE, ID_EDIT_CUT},   {wxACCEL_CTRL, WXK_INSERT, ID_EDIT_COPY},
      {wxACCEL_SHIFT, WXK_INSERT, ID_EDIT_PASTE}, {wxACCEL_NORMAL, WXK_F6, ID_NEXT_PANE},
      {wxACCEL_SHIFT, WXK_F6, ID_PREV_PANE},      {wxACCEL_CTRL, 'E', ID_FILE_EXPORT},
      {wxACCEL_CTRL, 'I', ID_FILE_IMPORT},
  };
  // Desktop habits, on keys the navigation leaves free.
  const wxAcceleratorEntry desktop[] = {
      {wxACCEL_CTRL, 'Q', ID_APP_EXIT},
      {wxACCEL_NORMAL, ']', ID_VIEW_NEXT_MODEL},
      {wxACCEL_NORMAL, '[', ID_VIEW_PREV_MODEL},
      {wxACCEL_CTRL, WXK_PAGEDOWN, ID_VIEW_NEXT_MODEL},
      {wxACCEL_CTRL, WXK_PAGEUP, ID_VIEW_PREV_MODEL},
      {wxACCEL_NORMAL, WXK_F1, ID_HELP_CONTROLS},
  };
  std::vector<wxAcceleratorEntry> all(std::begin(entries), std::end(entries));
  all.insert(all.end(), std::begin(desktop), std::end(desktop));
  SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(all.size()), all.data()));
}

void CMainFrame::BindHandlers() {
  Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
  using F = CMainFrame;
  static constexpr CommandBinding<F> kCommands[] = {
      {ID_APP_EXIT, &F::OnAppExit},
      {ID_HELP_CONTROLS, &F::OnHelpControls},
      {ID_VIEW_TOOLBAR, &F::OnViewToolbar, &F::OnUpdateViewToolbar},
      {ID_VIEW_STATUS_BAR, &F::OnViewStatusBar, &F::OnUpdateViewStatusBar},
  };
  BindCommands<F>(this, kCommands);
  for (int id : kUnavailableCommands) {
    Bind(
        wxEVT_MENU, [](wxCommandEvent&) {}, id);
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateUnavailable, this, id);
  }
  Bind(wxEVT_IDLE, &CMainFrame::OnIdle, this);
  Bind(wxEVT_SIZE, &CMainFrame::OnSizeOrMove, this);
  Bind(wxEVT_MOVE, &CMainFrame::OnSizeOrMove, this);
  m_wndToolBar->Bind(wxEVT_TOOL_ENTER, &CMainFrame::OnToolEnter, this);
}

// The view is asked first, whatever window the command came from, so its
// handlers win over the frame's and the application's. Events that started
// in the view have already been there.
bool CMainFrame::TryBefore(wxEvent& event) {
  const bool routed = event.GetEventType() == wxEVT_MENU || event.GetEventType() == wxEVT_UPDATE_UI;
  if (routed && m_pView != nullptr && !m_bRoutingToView && event.GetEventObject() != m_pView) {
    m_bRoutingToView = true;
    const bool handled = m_pView->GetEventHandler()->ProcessEventLocally(event);
    m_bRoutingToView = false;
    if (handled) return true;
  }
  return wxFrame::TryBefore(event);
}

bool CMainFrame::IsClientAreaChild(const wxWindow* child) const {
  return child == m_wndToolBar || wxFrame::IsClientAreaChild(child);
}

// A floating toolbar gives its prompts to the small window it floats in,
// which has no status bar; they belong in this frame's message pane.
void CMainFrame::OnToolEnter(wxCommandEvent& event) {
  if (wxGetTopLevelParent(m_wndToolBar) != this) {
    const wxToolBarToolBase* tool =
        event.GetInt() == wxID_ANY ? nullptr : m_wndToolBar->FindById(event.GetInt());
    DoGiveHelp(tool != nullptr ? tool->GetLongHelp() : wxString(), tool != nullptr);
  }
  event.Skip();
}

void CMainFrame::DoGiveHelp(const wxString& text, bool show) {
  if (GetStatusBar() == nullptr) return;
  SetStatusText(show ? text : wxString(kIdleMessage), kMessageField);
}

void ShowSettingsMessages(const SettingsResult& result) {
  for (const DocMessage& message : result.messages) {
    platform::Current().ShowMessage(message.text, message.icon);
  }
  if (result.bMustStop) platform::Current().EndProcess(1);
}

void CMainFrame::NewDocument() {
  ShowSettingsMessages(m_pDocument->OnNewDocument());
  // The configuration read again may bring another background colour and
  // palette; the view takes them as after a resize.
  if (m_pView != nullptr) {
    m_pView->SendSizeEvent();
    m_pView->InvalidateView(false);
  }
}

// Every way of closing the window ends here, so the settings are saved
// whether the user chose Exit, the close box or the window manager.
void CMainFrame::OnClose(wxCloseEvent& event) {
  bool canClose = true;
  try {
    ShowSettingsMessages(m_pDocument->SaveConfig());
    canClose = m_pDocument->CanCloseFrame();
  } catch (...) {
    // Whatever went wrong while saving, the window still closes.
    ReportFailure("saving the settings", std::current_exception(), false);
  }
  if (!canClose && event.CanVeto()) {
    event.Veto();
    return;
  }
  SavePlacement();
  Destroy();
}

void CMainFrame::OnAppExit(wxCommandEvent&) { Close(); }

void CMainFrame::OnHelpControls(wxCommandEvent&) {
  CControlsDlg dlg(this);
  dlg.ShowModal();
}

// A maximised window's size is the screen's; the size to come back to is
// the last one the window had on its own.
void CMainFrame::OnSizeOrMove(wxEvent& event) {
  event.Skip();
  if (IsShown() && !IsMaximized() && !IsIconized() && !IsFullScreen()) m_rectNormal = GetRect();
}

void CMainFrame::RestorePlacement() {
  const WindowPlacement placement = LoadWindowPlacement();
  if (!placement.normal.IsEmpty()) {
    SetSize(placement.normal.GetSize());
    // A place on a screen that is no longer there is left to the desktop.
    if (wxDisplay::GetFromPoint(placement.normal.GetTopLeft() + wxPoint(20, 20)) != wxNOT_FOUND) {
      Move(placement.normal.GetTopLeft());
    }
  }
  m_rectNormal = GetRect();
  if (placement.maximized) Maximize(true);
  if (!placement.toolBar) {
    m_auiManager.GetPane(m_wndToolBar).Show(false);
    m_auiManager.Update();
  }
  if (!placement.statusBar) m_wndStatusBar->Show(false);
}

void CMainFrame::SavePlacement() {
  WindowPlacement placement;
  placement.normal = IsMaximized() || IsIconized() ? m_rectNormal : GetRect();
  placement.maximized = IsMaximized();
  placement.toolBar = m_auiManager.GetPane(m_wndToolBar).IsShown();
  placement.statusBar = m_wndStatusBar->IsShown();
  SaveWindowPlacement(placement);
}

void CMainFrame::OnViewToolbar(wxCommandEvent&) {
  wxAuiPaneInfo& pane = m_auiManager.GetPane(m_wndToolBar);
  pane.Show(!pane.IsShown());
  m_auiManager.Update();
}

void CMainFrame::OnViewStatusBar(wxCommandEvent&) {
  m_wndStatusBar->Show(!m_wndStatusBar->IsShown());
  SendSizeEvent();
}

void CMainFrame::OnUpdateViewToolbar(wxUpdateUIEvent& event) {
  event.Check(m_auiManager.GetPane(m_wndToolBar).IsShown());
}

void CMainFrame::OnUpdateViewStatusBar(wxUpdateUIEvent& event) {
  event.Check(m_wndStatusBar->IsShown());
}

void CMainFrame::OnUpdateUnavailable(wxUpdateUIEvent& event) { event.Enable(false); }

void CMainFrame::UpdateWindowUI(long flags) {
  wxFrame::UpdateWindowUI(flags);
  // A pass over the children has updated the bar already, if it is docked
  // and so one of them.
  const bool updated =
      (flags & wxUPDATE_UI_RECURSE) != 0 && wxGetTopLevelParent(m_wndToolBar) == this;
  if (m_wndToolBar != nullptr && !updated) m_wndToolBar->UpdateWindowUI(flags);
}

void CMainFrame::OnIdle(wxIdleEvent& event) {
  FitToolBarToDock();
  UpdateLockIndicators();
  event.Skip();
}

void CMainFrame::UpdateLockIndicators() {
  for (const LockIndicator& lock : kLockIndicators) {
    const wxString text = lock.isOn() ? lock.text : "";
    if (m_wndStatusBar->GetStatusText(lock.field) != text) {
      m_wndStatusBar->SetStatusText(text, lock.field);
    }
  }
}
