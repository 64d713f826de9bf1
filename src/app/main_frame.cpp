#include "app/main_frame.h"

#include <array>

#include <wx/accel.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include "app/icons.h"
#include "app/resources.h"
#include "doc/quodra_doc.h"
#include "view/command_ids.h"
#include "view/quodra_view.h"

namespace {

// Commands the window offers no action for: their keys are taken so they
// do nothing, and they show disabled wherever they might appear.
constexpr std::array kUnavailableCommands = {ID_EDIT_UNDO,  ID_EDIT_CUT,  ID_EDIT_COPY,
                                             ID_EDIT_PASTE, ID_NEXT_PANE, ID_PREV_PANE};

struct LockIndicator {
  int field;
  wxKeyCode key;
  int textId;
};

constexpr std::array kLockIndicators = {
    LockIndicator{1, WXK_CAPITAL, ID_INDICATOR_CAPS},
    LockIndicator{2, WXK_NUMLOCK, ID_INDICATOR_NUM},
    LockIndicator{3, WXK_SCROLL, ID_INDICATOR_SCRL},
};

// Room for a model at a useful size on any screen of today.
const wxSize kStartSize(800, 600);

constexpr int kStatusFieldCount = 4;
constexpr int kMessageField = 0;

// The commands keep their own numbers, most of them above the 16-bit
// range the toolkit's constructor insists on for the sake of another
// platform; on this one any int is a valid id, so the number is given
// after construction.
constexpr int kPlaceholderItemId = 1;

wxMenuItem* AppendCommand(wxMenu* menu, int id, const char* label,
                          wxItemKind kind = wxITEM_NORMAL) {
  auto* item = new wxMenuItem(menu, kPlaceholderItemId, wxString::FromUTF8(label),
                              wxString::FromUTF8(CommandPrompt(id)), kind);
  item->SetId(id);
  return menu->Append(item);
}

}  // namespace

CMainFrame::CMainFrame(CQuodraDoc* doc) : m_pDocument(doc) {}

bool CMainFrame::OnCreate() {
  if (!wxFrame::Create(nullptr, wxID_ANY, kAppTitle, wxDefaultPosition, kStartSize)) return false;
  SetIcons(MakeAppIcons());
  // Toolbar first, then status bar: the order the frame lays them out in.
  if (!CreateToolBarAndImages()) return false;
  if (!CreateStatusBarPanes()) return false;
  CreateMenus();
  CreateAccelerators();

  int pixelFormat = 0;
  const wxGLAttributes attrs = CQuodraView::ChoosePixelFormat(&pixelFormat);
  m_pView = new CQuodraView(this, m_pDocument, attrs);
  m_pView->m_nPixelFormat = pixelFormat;

  BindHandlers();
  return true;
}

bool CMainFrame::CreateToolBarAndImages() {
  m_wndToolBar = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT | wxTB_TOP);
  if (m_wndToolBar == nullptr) return false;
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
    widths[lock.field] = m_wndStatusBar->GetTextExtent(LoadResString(lock.textId)).x + 16;
  }
  m_wndStatusBar->SetStatusWidths(kStatusFieldCount, widths);
  SetStatusBarPane(kMessageField);
  SetStatusText(LoadResString(AFX_IDS_IDLEMESSAGE), kMessageField);
  UpdateLockIndicators();
  return true;
}

void CMainFrame::CreateMenus() {
  auto* file = new wxMenu;
  AppendCommand(file, ID_FILE_OPEN, "&Open...\tCtrl+O");
  AppendCommand(file, ID_FILE_SAVE, "&Save...");
  file->AppendSeparator();
  AppendCommand(file, ID_APP_EXIT, "E&xit");

  auto* view = new wxMenu;
  AppendCommand(view, ID_VIEW_MODEL_INFO, "Model Information");
  view->AppendSeparator();
  AppendCommand(view, ID_VIEW_TOOLBAR, "&Toolbar", wxITEM_CHECK);
  AppendCommand(view, ID_VIEW_STATUS_BAR, "&Status Bar", wxITEM_CHECK);

  auto* help = new wxMenu;
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
      {wxACCEL_SHIFT, WXK_F6, ID_PREV_PANE},
  };
  SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(std::size(entries)), entries));
}

void CMainFrame::BindHandlers() {
  Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
  Bind(wxEVT_MENU, &CMainFrame::OnAppExit, this, ID_APP_EXIT);
  Bind(wxEVT_MENU, &CMainFrame::OnViewToolbar, this, ID_VIEW_TOOLBAR);
  Bind(wxEVT_MENU, &CMainFrame::OnViewStatusBar, this, ID_VIEW_STATUS_BAR);
  Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateViewToolbar, this, ID_VIEW_TOOLBAR);
  Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateViewStatusBar, this, ID_VIEW_STATUS_BAR);
  for (int id : kUnavailableCommands) {
    Bind(
        wxEVT_MENU, [](wxCommandEvent&) {}, id);
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateUnavailable, this, id);
  }
  Bind(wxEVT_IDLE, &CMainFrame::OnIdle, this);
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

void CMainFrame::DoGiveHelp(const wxString& text, bool show) {
  if (GetStatusBar() == nullptr) return;
  SetStatusText(show ? text : wxString(LoadResString(AFX_IDS_IDLEMESSAGE)), kMessageField);
}

void CMainFrame::NewDocument() {
  if (!m_pDocument->OnNewDocument()) return;
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
  if (!m_pDocument->CanCloseFrame() && event.CanVeto()) {
    event.Veto();
    return;
  }
  Destroy();
}

void CMainFrame::OnAppExit(wxCommandEvent&) { Close(); }

void CMainFrame::OnViewToolbar(wxCommandEvent&) {
  m_wndToolBar->Show(!m_wndToolBar->IsShown());
  SendSizeEvent();
}

void CMainFrame::OnViewStatusBar(wxCommandEvent&) {
  m_wndStatusBar->Show(!m_wndStatusBar->IsShown());
  SendSizeEvent();
}

void CMainFrame::OnUpdateViewToolbar(wxUpdateUIEvent& event) {
  event.Check(m_wndToolBar->IsShown());
}

void CMainFrame::OnUpdateViewStatusBar(wxUpdateUIEvent& event) {
  event.Check(m_wndStatusBar->IsShown());
}

void CMainFrame::OnUpdateUnavailable(wxUpdateUIEvent& event) { event.Enable(false); }

void CMainFrame::OnIdle(wxIdleEvent& event) {
  UpdateLockIndicators();
  event.Skip();
}

void CMainFrame::UpdateLockIndicators() {
  for (const LockIndicator& lock : kLockIndicators) {
    const wxString text = wxGetKeyState(lock.key) ? LoadResString(lock.textId) : "";
    if (m_wndStatusBar->GetStatusText(lock.field) != text) {
      m_wndStatusBar->SetStatusText(text, lock.field);
    }
  }
}
