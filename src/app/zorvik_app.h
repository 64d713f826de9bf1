// The application object and the viewer's entry point.
#pragma once

#include <memory>
#include <string>

#include <wx/app.h>

class CMainFrame;
class CZorvikDoc;

namespace platform {
class Platform;
}

// Starts the toolkit and runs the viewer; returns the process exit status.
int RunViewer(int argc, char** argv);

// The main window for the document, created, given its configuration
// (the document's new-document step), titled "Zorvik", shown and painted.
// Null when the window cannot be made or the new-document step fails.
// The document must outlive the window.
CMainFrame* CreateMainWindow(CZorvikDoc& doc);

class CZorvikApp : public wxApp {
 public:
  CZorvikApp();
  ~CZorvikApp() override;

  bool OnInit() override;
  int OnExit() override;

  void OnAppAbout(wxCommandEvent& event);
  void OnFileNew(wxCommandEvent& event);

  // Every handler runs through here: an exception that escapes it is shown
  // to the user, and the program goes on.
  void CallEventHandler(wxEvtHandler* handler, wxEventFunctor& functor,
                        wxEvent& event) const override;
  // The same for what runs outside a handler (calls made after an event).
  bool OnExceptionInMainLoop() override;

 protected:
  // The one main frame of the run, or null.
  CMainFrame* FindMainFrame() const;

  // Opens the model named on the command line, once the window is shown.
  void OpenStartupFile();
  std::string m_strStartupFile;

 private:
  std::unique_ptr<platform::Platform> m_pPlatform;
  std::unique_ptr<CZorvikDoc> m_pDocument;
};
