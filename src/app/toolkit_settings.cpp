#include "app/toolkit_settings.h"

#include <memory>

#include <wx/fileconf.h>
#include <wx/log.h>

#include "app/resources.h"
#include "platform/install_layout.h"

namespace {

constexpr const char* kSettingsName = "window.conf";

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

// The keys the toolkit's own persistence used, so that a window kept by an
// earlier version comes back as it was.
constexpr const char* kWindowGroup = "/Persistent_Options/Window/MainFrame/";

WindowPlacement LoadWindowPlacement() {
  wxConfigBase& settings = ToolkitSettings();
  const wxString group = kWindowGroup;
  WindowPlacement placement;
  long x = 0, y = 0, w = 0, h = 0;
  if (settings.Read(group + "x", &x) && settings.Read(group + "y", &y) &&
      settings.Read(group + "w", &w) && settings.Read(group + "h", &h) && w > 0 && h > 0) {
    placement.normal =
        wxRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h));
  }
  settings.Read(group + "Maximized", &placement.maximized, false);
  settings.Read(group + "ToolBar", &placement.toolBar, true);
  settings.Read(group + "StatusBar", &placement.statusBar, true);
  return placement;
}

void SaveWindowPlacement(const WindowPlacement& placement) {
  wxConfigBase& settings = ToolkitSettings();
  const wxString group = kWindowGroup;
  if (!placement.normal.IsEmpty()) {
    settings.Write(group + "x", static_cast<long>(placement.normal.x));
    settings.Write(group + "y", static_cast<long>(placement.normal.y));
    settings.Write(group + "w", static_cast<long>(placement.normal.width));
    settings.Write(group + "h", static_cast<long>(placement.normal.height));
  }
  settings.Write(group + "Maximized", placement.maximized);
  settings.Write(group + "ToolBar", placement.toolBar);
  settings.Write(group + "StatusBar", placement.statusBar);
  SaveToolkitSettings();
}
