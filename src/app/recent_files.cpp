#include "app/recent_files.h"

#include <filesystem>
#include <system_error>

#include <wx/config.h>
#include <wx/frame.h>
#include <wx/menu.h>

#include "app/resources.h"
#include "app/toolkit_settings.h"
#include "view/command_ids.h"
#include "view/view_events.h"

namespace {

// The list's place in the settings.
constexpr const char* kSettingsGroup = "/RecentFiles";

// The same file reached by another spelling ("./a.bin", "../x/a.bin") is
// one entry.
std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

}  // namespace

CRecentFiles::CRecentFiles(wxFrame& frame, wxMenu& fileMenu, OpenFn open)
    : m_frame(frame),
      m_menu(fileMenu),
      m_open(std::move(open)),
      m_history(kMaxFiles, ID_FILE_MRU_FILE1) {
  // Full paths: models of different folders often share their names.
  m_history.SetMenuPathStyle(wxFH_PATH_SHOW_ALWAYS);
  m_history.UseMenu(&m_menu);
  wxConfigBase& settings = ToolkitSettings();
  settings.SetPath(kSettingsGroup);
  m_history.Load(settings);  // lists them in the menu too
  settings.SetPath("/");
  LabelPrompts();

  m_frame.Bind(wxEVT_MENU, &CRecentFiles::OnOpenRecent, this, ID_FILE_MRU_FILE1,
               ID_FILE_MRU_FILE1 + kMaxFiles - 1);
  m_frame.Bind(EVT_ZORVIK_MODEL_OPENED, &CRecentFiles::OnModelOpened, this);
}

CRecentFiles::~CRecentFiles() {
  m_frame.Unbind(wxEVT_MENU, &CRecentFiles::OnOpenRecent, this, ID_FILE_MRU_FILE1,
                 ID_FILE_MRU_FILE1 + kMaxFiles - 1);
  m_frame.Unbind(EVT_ZORVIK_MODEL_OPENED, &CRecentFiles::OnModelOpened, this);
}

void CRecentFiles::Add(const std::string& path) {
  m_history.AddFileToHistory(wxString::FromUTF8(AbsolutePath(path)));
  LabelPrompts();
  Save();
}

std::vector<std::string> CRecentFiles::Files() const {
  std::vector<std::string> files;
  for (size_t i = 0; i < m_history.GetCount(); ++i) {
    files.push_back(m_history.GetHistoryFile(i).utf8_string());
  }
  return files;
}

// The file is opened as File Open would open it; one that can no longer be
// read (moved, deleted, damaged) has said why and leaves the list.
void CRecentFiles::OnOpenRecent(wxCommandEvent& event) {
  const size_t index = static_cast<size_t>(event.GetId() - ID_FILE_MRU_FILE1);
  if (index >= m_history.GetCount()) return;
  const std::string path = m_history.GetHistoryFile(index).utf8_string();
  if (m_open(path)) return;  // the view's news of the open moved it first
  // The list may have changed while the failure message was up.
  for (size_t i = 0; i < m_history.GetCount(); ++i) {
    if (m_history.GetHistoryFile(i).utf8_string() == path) {
      m_history.RemoveFileFromHistory(i);
      break;
    }
  }
  Save();
}

void CRecentFiles::OnModelOpened(wxCommandEvent& event) {
  Add(event.GetString().utf8_string());
  event.Skip();
}

void CRecentFiles::Save() {
  wxConfigBase& settings = ToolkitSettings();
  // The group is written whole, so a list that got shorter leaves no
  // stale entry behind.
  settings.DeleteGroup(kSettingsGroup);
  settings.SetPath(kSettingsGroup);
  m_history.Save(settings);
  settings.SetPath("/");
  SaveToolkitSettings();
}

// A numbered entry's prompt in the status bar.
void CRecentFiles::LabelPrompts() {
  const wxString prompt = wxString::FromUTF8(CommandPrompt(ID_FILE_MRU_FILE1));
  for (size_t i = 0; i < m_history.GetCount(); ++i) {
    if (wxMenuItem* item = m_menu.FindItem(ID_FILE_MRU_FILE1 + static_cast<int>(i))) {
      item->SetHelp(prompt);
    }
  }
}
