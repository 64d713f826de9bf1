#include "app/quodra_app.h"

#include <wx/config.h>

#include "app/about_dlg.h"
#include "app/main_frame.h"
#include "app/resources.h"
#include "doc/quodra_doc.h"
#include "platform/platform.h"
#include "platform/platform_wx.h"
#include "view/command_ids.h"
#include "view/quodra_view.h"

namespace {

// The toolkit keeps its own settings (the recent-file list) under this
// vendor name; the program itself reads nothing from them.
constexpr const char* kVendorName = "Local AppWizard-Generated Applications";
constexpr int kRecentFileCount = 4;

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(CQuodraApp);

int RunViewer(int argc, char** argv) { return wxEntry(argc, argv); }

CMainFrame* CreateMainWindow(CQuodraDoc& doc) {
  auto* frame = new CMainFrame(&doc);
  if (!frame->OnCreate()) {
    frame->Destroy();
    return nullptr;
  }
  // The configuration is read before the window is first shown, so its
  // messages stand on their own and its colours are in the first picture.
  if (!doc.OnNewDocument()) {
    frame->Destroy();
    return nullptr;
  }
  frame->SetTitle(kAppTitle);
  frame->Show(true);
  frame->Update();
  frame->GetView()->SetFocus();
  return frame;
}

CQuodraApp::CQuodraApp() {
  Bind(wxEVT_MENU, &CQuodraApp::OnAppAbout, this, ID_APP_ABOUT);
  Bind(wxEVT_MENU, &CQuodraApp::OnFileNew, this, ID_FILE_NEW);
}

CQuodraApp::~CQuodraApp() = default;

bool CQuodraApp::OnInit() {
  // Only a file name is taken from the command line; the toolkit's own
  // option parsing would refuse names that start with a dash.
  if (argc > 1) m_strStartupFile = argv[1].utf8_string();

  m_pPlatform = std::make_unique<platform::WxPlatform>();
  platform::SetCurrent(m_pPlatform.get());

  SetVendorName(kVendorName);
  SetAppName(kAppTitle);
  m_pFileHistory = std::make_unique<wxFileHistory>(kRecentFileCount);
  m_pFileHistory->Load(*wxConfigBase::Get());

  m_pDocument = std::make_unique<CQuodraDoc>();
  CMainFrame* frame = CreateMainWindow(*m_pDocument);
  if (frame == nullptr) return false;
  SetTopWindow(frame);

  // Opened once the window is on screen and the event loop runs, exactly
  // as File Open does after its dialog.
  if (!m_strStartupFile.empty()) CallAfter(&CQuodraApp::OpenStartupFile);
  return true;
}

int CQuodraApp::OnExit() {
  if (m_pFileHistory) m_pFileHistory->Save(*wxConfigBase::Get());
  m_pDocument.reset();
  platform::SetCurrent(nullptr);
  m_pPlatform.reset();
  return wxApp::OnExit();
}

CMainFrame* CQuodraApp::FindMainFrame() const { return dynamic_cast<CMainFrame*>(GetTopWindow()); }

void CQuodraApp::OpenStartupFile() {
  if (CMainFrame* frame = FindMainFrame()) frame->GetView()->OpenModel(m_strStartupFile);
}

void CQuodraApp::OnAppAbout(wxCommandEvent&) {
  CAboutDlg dlg(GetTopWindow());
  dlg.ShowModal();
}

void CQuodraApp::OnFileNew(wxCommandEvent&) {
  if (CMainFrame* frame = FindMainFrame()) frame->NewDocument();
}
