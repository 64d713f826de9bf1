// The application object and the viewer's entry point.
#pragma once

#include <memory>
#include <string>

#include <wx/app.h>
#include <wx/filehistory.h>

class CMainFrame;
class CQuodraDoc;

namespace platform {
class Platform;
}

// Starts the toolkit and runs the viewer; returns the process exit status.
int RunViewer(int argc, char** argv);

// The main window for the document, created, given its configuration
// (the document's new-document step), titled "Zorvik", shown and painted.
// Null when the window cannot be made or the new-document step fails.
// The document must outlive the window.
CMainFrame* CreateMainWindow(CQuodraDoc& doc);

class CQuodraApp : public wxApp {
 public:
  CQuodraApp();
  ~CQuodraApp() override;

  bool OnInit() override;
  int OnExit() override;

  void OnAppAbout(wxCommandEvent& event);
  void OnFileNew(wxCommandEvent& event);

 protected:
  // The one main frame of the run, or null.
  CMainFrame* FindMainFrame() const;

 private:
  void OpenStartupFile();

  std::unique_ptr<platform::Platform> m_pPlatform;
  std::unique_ptr<CQuodraDoc> m_pDocument;
  std::unique_ptr<wxFileHistory> m_pFileHistory;
  std::string m_strStartupFile;
};
