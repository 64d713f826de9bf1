#include "app/zorvik_app.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "app/about_dlg.h"
#include "app/failure_report.h"
#include "app/main_frame.h"
#include "app/resources.h"
#include "app/toolkit_settings.h"
#include "doc/zorvik_doc.h"
#include "io/system_path.h"
#include "platform/platform.h"
#include "platform/platform_wx.h"
#include "view/command_ids.h"
#include "view/zorvik_view.h"

wxIMPLEMENT_APP_NO_MAIN(CZorvikApp);

namespace {

namespace fs = std::filesystem;

// A model named relative to the working directory, made absolute as the
// open dialog hands names on: the title shows where the file is, and its
// directory can be remembered. "." and ".." steps are taken out only where
// the shorter path names the same file (after a link, ".." leads elsewhere).
std::string AbsoluteModelPath(const std::string& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(syspath::FromUtf8(path), ec);
  if (ec) return path;
  const fs::path normal = absolute.lexically_normal();
  if (normal != absolute && !fs::equivalent(normal, absolute, ec)) return syspath::ToUtf8(absolute);
  return syspath::ToUtf8(normal);
}

}  // namespace

int RunViewer(int argc, char** argv) {
  // The view draws through GLX, which needs an X display: on a Wayland
  // desktop the toolkit is asked for its X11 backend (XWayland), unless the
  // user chose a backend.
#ifdef __WXGTK__
  setenv("GDK_BACKEND", "x11", 0);
#endif
#ifdef __WXMSW__
  // The arguments are UTF-8; the toolkit's narrow entry would read them in
  // the system's code page, which cannot hold every name.
  std::vector<std::wstring> wide;
  for (int i = 0; i < argc; ++i) wide.push_back(syspath::Widen(argv[i]));
  std::vector<wxChar*> wideArgv;
  for (std::wstring& arg : wide) wideArgv.push_back(arg.data());
  wideArgv.push_back(nullptr);
  return wxEntry(argc, wideArgv.data());
#else
  return wxEntry(argc, argv);
#endif
}

CMainFrame* CreateMainWindow(CZorvikDoc& doc) {
  auto* frame = new CMainFrame(&doc);
  if (!frame->OnCreate()) {
    frame->Destroy();
    return nullptr;
  }
  // The configuration is read before the window is first shown, so that
  // its colours are in the first picture; its messages wait for the window
  // and stand over it.
  SettingsResult settings = doc.OnNewDocument();
  if (settings.bMustStop) {
    frame->Destroy();
    ShowSettingsMessages(settings);
    return nullptr;
  }
  frame->SetTitle(kAppTitle);
  frame->RestorePlacement();
  frame->Show(true);
  frame->Update();
  frame->GetView()->SetFocus();
  if (!settings.messages.empty()) {
    frame->GetView()->CallWhenShown([settings] { ShowSettingsMessages(settings); });
  }
  return frame;
}

CZorvikApp::CZorvikApp() {
  Bind(wxEVT_MENU, &CZorvikApp::OnAppAbout, this, ID_APP_ABOUT);
  Bind(wxEVT_MENU, &CZorvikApp::OnFileNew, this, ID_FILE_NEW);
}

CZorvikApp::~CZorvikApp() = default;

bool CZorvikApp::OnInit() {
  // Only a file name is taken from the command line; the toolkit's own
  // option parsing would refuse names that start with a dash.
  if (argc > 1) m_strStartupFile = AbsoluteModelPath(argv[1].utf8_string());

  m_pPlatform = std::make_unique<platform::WxPlatform>();
  platform::SetCurrent(m_pPlatform.get());

  // The toolkit keeps its own settings under these names.
  SetVendorName(kVendorName);
  SetAppName(kAppTitle);

  m_pDocument = std::make_unique<CZorvikDoc>();
  CMainFrame* frame = CreateMainWindow(*m_pDocument);
  if (frame == nullptr) return false;
  SetTopWindow(frame);

  // Opened as File Open opens, once the window is on the display: its
  // textures go into the view's context, and a message stands over the
  // window. A window manager maps the frame some time after it is shown.
  if (!m_strStartupFile.empty()) OpenStartupFile();
  return true;
}

int CZorvikApp::OnExit() {
  m_pDocument.reset();
  platform::SetCurrent(nullptr);
  m_pPlatform.reset();
  return wxApp::OnExit();
}

CMainFrame* CZorvikApp::FindMainFrame() const { return dynamic_cast<CMainFrame*>(GetTopWindow()); }

// Called after the start-up event rather than from a handler, so it guards
// itself as the handlers are guarded.
void CZorvikApp::OpenStartupFile() {
  try {
    CMainFrame* frame = FindMainFrame();
    if (frame == nullptr) return;
    CZorvikView* view = frame->GetView();
    if (view->HasPainted()) {
      view->OpenModel(m_strStartupFile);
    } else {
      view->CallWhenShown([this] { OpenStartupFile(); });
    }
  } catch (...) {
    ReportFailure(DescribeCommand(ID_FILE_OPEN), std::current_exception(), true);
  }
}

void CZorvikApp::CallEventHandler(wxEvtHandler* handler, wxEventFunctor& functor,
                                  wxEvent& event) const {
  try {
    wxApp::CallEventHandler(handler, functor, event);
  } catch (...) {
    const bool command = event.GetEventType() == wxEVT_MENU || event.GetEventType() == wxEVT_TOOL;
    ReportFailure(DescribeFailedEvent(event), std::current_exception(), command);
  }
}

bool CZorvikApp::OnExceptionInMainLoop() {
  ReportFailure("an action of the window", std::current_exception(), false);
  return true;
}

void CZorvikApp::OnAppAbout(wxCommandEvent&) {
  CAboutDlg dlg(GetTopWindow());
  dlg.ShowModal();
}

void CZorvikApp::OnFileNew(wxCommandEvent&) {
  if (CMainFrame* frame = FindMainFrame()) frame->NewDocument();
}
