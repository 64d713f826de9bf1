// The toolkit's own settings: the recent files and the window's size and
// place. They live in the user's configuration directory
// ($XDG_CONFIG_HOME/zorvik/window.conf), apart from "zorvik.cfg", whose
// three lines stay as they are, and in every layout, portable or installed:
// they belong to the user, not to the copy of the program.
#pragma once

#include <wx/gdicmn.h>

class wxConfigBase;

// The settings file, opened on first use. Every change is written out at
// once by SaveToolkitSettings.
wxConfigBase& ToolkitSettings();

// Writes pending changes, making the directory when needed. A settings
// file that cannot be written costs the user only these conveniences, so
// it is not reported.
void SaveToolkitSettings();

// The main window as it is kept between runs: its normal size and place,
// apart from whether it was maximised (so a window closed maximised comes
// back maximised and still shrinks to the size it had), and whether its
// toolbar and status bar show.
struct WindowPlacement {
  wxRect normal;  // empty: never kept
  bool maximized = false;
  bool toolBar = true;
  bool statusBar = true;
};

// What the settings hold; defaults for anything they lack.
WindowPlacement LoadWindowPlacement();
void SaveWindowPlacement(const WindowPlacement& placement);
