#include "app/toolkit_settings.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <wx/fileconf.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include "io/file_bytes.h"
#include "io/output_plan.h"
#include "io/safe_write.h"
#include "platform/install_layout.h"

namespace {

constexpr const char* kSettingsName = "window.conf";
// A few lines of recent files and window sizes; a larger file is no
// settings file of ours and is left unread.
constexpr std::size_t kMaxSettingsSize = 64 * 1024;

std::string SettingsPath() {
  const std::string dir = platform::UserConfigDir();
  return dir.empty() ? std::string() : dir + kSettingsName;
}

// The file is read and written here, not by the toolkit, so that it is
// read with a bound and written like every other file of the program:
// whole or not at all, and never over a model.
std::unique_ptr<wxFileConfig> OpenSettings() {
  std::vector<std::uint8_t> bytes;
  std::string error;
  const std::string path = SettingsPath();
  // No home, or no file yet: the settings start empty.
  if (!path.empty()) filebytes::ReadFileBytes(path, bytes, error, kMaxSettingsSize);
  wxMemoryInputStream stream(bytes.data(), bytes.size());
  // A damaged file is read as far as it goes; the toolkit's complaint about
  // it would only puzzle the user.
  wxLogNull quiet;
  return std::make_unique<wxFileConfig>(stream, wxConvUTF8);
}

}  // namespace

wxConfigBase& ToolkitSettings() {
  // Kept for the whole run; it has nothing left to write when it goes,
  // since every change was saved already.
  static std::unique_ptr<wxFileConfig> settings = OpenSettings();
  return *settings;
}

void SaveToolkitSettings() {
  const std::string path = SettingsPath();
  if (path.empty()) return;
  wxMemoryOutputStream stream;
  {
    wxLogNull quiet;
    if (!static_cast<wxFileConfig&>(ToolkitSettings()).Save(stream, wxConvUTF8)) return;
  }
  std::vector<std::uint8_t> bytes(stream.GetLength());
  stream.CopyTo(bytes.data(), bytes.size());
  output::COutputPlan plan("the settings");
  if (!plan.Claim({}, {path}).Ok()) return;
  platform::MakeDirectories(platform::UserConfigDir());
  safewrite::WriteFile(path, bytes);
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
