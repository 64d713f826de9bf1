#include "app/zorvik_app.h"

#include "app/about_dlg.h"
#include "app/main_frame.h"
#include "app/resources.h"
#include "doc/zorvik_doc.h"
#include "platform/platform.h"
#include "platform/platform_wx.h"
#include "view/command_ids.h"
#include "view/zorvik_view.h"

wxIMPLEMENT_APP_NO_MAIN(CZorvikApp);

int RunViewer(int argc, char** argv) { return wxEntry(argc, argv); }

CMainFrame* CreateMainWindow(CZorvikDoc& doc) {
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

CZorvikApp::CZorvikApp() {
  Bind(wxEVT_MENU, &CZorvikApp::OnAppAbout, this, ID_APP_ABOUT);
  Bind(wxEVT_MENU, &CZorvikApp::OnFileNew, this, ID_FILE_NEW);
}

CZorvikApp::~CZorvikApp() = default;

bool CZorvikApp::OnInit() {
  // Only a file name is taken from the command line; the toolkit's own
  // option parsing would refuse names that start with a dash.
  if (argc > 1) m_strStartupFile = argv[1].utf8_string();

  m_pPlatform = std::make_unique<platform::WxPlatform>();
  platform::SetCurrent(m_pPlatform.get());

  // The toolkit keeps its own settings under these names.
  SetVendorName(kVendorName);
  SetAppName(kAppTitle);

  m_pDocument = std::make_unique<CZorvikDoc>();
  CMainFrame* frame = CreateMainWindow(*m_pDocument);
  if (frame == nullptr) return false;
  SetTopWindow(frame);

  // Opened once the window is on screen, exactly as File Open does after
  // its dialog. Where showing the frame made the view's context current
  // already, that is now: the model is then in the first frame painted,
  // rather than in a second one after an empty frame. Otherwise the event
  // loop opens it when it runs.
  if (!m_strStartupFile.empty()) {
    if (frame->GetView()->HasCurrentContext()) {
      OpenStartupFile();
    } else {
      CallAfter(&CZorvikApp::OpenStartupFile);
    }
  }
  return true;
}

int CZorvikApp::OnExit() {
  m_pDocument.reset();
  platform::SetCurrent(nullptr);
  m_pPlatform.reset();
  return wxApp::OnExit();
}

CMainFrame* CZorvikApp::FindMainFrame() const { return dynamic_cast<CMainFrame*>(GetTopWindow()); }

void CZorvikApp::OpenStartupFile() {
  if (CMainFrame* frame = FindMainFrame()) frame->GetView()->OpenModel(m_strStartupFile);
}

void CZorvikApp::OnAppAbout(wxCommandEvent&) {
  CAboutDlg dlg(GetTopWindow());
  dlg.ShowModal();
}

void CZorvikApp::OnFileNew(wxCommandEvent&) {
  if (CMainFrame* frame = FindMainFrame()) frame->NewDocument();
}
