// The last models opened, numbered at the end of the File menu and kept
// between runs in the toolkit's settings (not in "zorvik.cfg").
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/event.h>
#include <wx/filehistory.h>

class wxFrame;
class wxMenu;

class CRecentFiles {
 public:
  static constexpr int kMaxFiles = 4;

  // Opens a model as File Open does after its dialog; true when it was
  // read.
  using OpenFn = std::function<bool(const std::string& path)>;

  // Lists the remembered files at the end of fileMenu and answers their
  // commands and the view's news of every model opened, on frame.
  CRecentFiles(wxFrame& frame, wxMenu& fileMenu, OpenFn open);
  ~CRecentFiles();
  CRecentFiles(const CRecentFiles&) = delete;
  CRecentFiles& operator=(const CRecentFiles&) = delete;

  // Puts path (made absolute) first in the list and saves the list.
  void Add(const std::string& path);
  // The list, most recent first.
  std::vector<std::string> Files() const;

 private:
  void OnOpenRecent(wxCommandEvent& event);
  void OnModelOpened(wxCommandEvent& event);
  void Save();
  void LabelPrompts();

  wxFrame& m_frame;
  wxMenu& m_menu;
  OpenFn m_open;
  wxFileHistory m_history;
};
