#include "app/toolkit_settings.h"

#include <memory>

#include <wx/fileconf.h>
#include <wx/log.h>
#include <wx/persist.h>
#include <wx/persist/toplevel.h>

#include "app/resources.h"
#include "platform/install_layout.h"

namespace {

constexpr const char* kSettingsName = "window.conf";
constexpr const char* kMainWindowKey = "MainFrame";

// The toolkit's persistence keeps its values in our settings file rather
// than in whatever configuration object happens to be the global one.
class CSettingsPersistence : public wxPersistenceManager {
 public:
  wxConfigBase* GetConfig() const override { return &ToolkitSettings(); }
};

std::unique_ptr<wxFileConfig> OpenSettings() {
  const std::string dir = platform::UserConfigDir();
  // No home: the settings live in memory for this run only.
  const wxString path = dir.empty() ? wxString() : wxString::FromUTF8(dir + kSettingsName);
  const long style = dir.empty() ? 0 : wxCONFIG_USE_LOCAL_FILE;
  // A damaged file is read as far as it goes; the toolkit's complaint about
  // it would only puzzle the user.
  wxLogNull quiet;
  return std::make_unique<wxFileConfig>(kAppTitle, kVendorName, path, wxString(), style);
}

}  // namespace

wxConfigBase& ToolkitSettings() {
  // Kept for the whole run; it has nothing left to write when it goes,
  // since every change was saved already.
  static std::unique_ptr<wxFileConfig> settings = OpenSettings();
  return *settings;
}

void SaveToolkitSettings() {
  wxConfigBase& settings = ToolkitSettings();
  const std::string dir = platform::UserConfigDir();
  if (!dir.empty()) platform::MakeDirectories(dir);
  wxLogNull quiet;
  settings.Flush();
}

void RestoreWindowPlacement(wxTopLevelWindow& window) {
  static CSettingsPersistence persistence;
  wxPersistenceManager::Set(persistence);
  // The name the settings know the window by, whatever its title.
  window.SetName(kMainWindowKey);
  wxPersistenceManager::Get().RegisterAndRestore(&window, new wxPersistentTLW(&window));
}

void SaveWindowPlacement(wxTopLevelWindow& window) {
  // Only a window whose placement was put back is kept.
  if (wxPersistenceManager::Get().Find(&window) == nullptr) return;
  wxPersistenceManager::Get().SaveAndUnregister(&window);
  SaveToolkitSettings();
}
