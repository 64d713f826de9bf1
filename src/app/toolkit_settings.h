// The toolkit's own settings: the recent files and the window's size and
// place. They live in the user's configuration directory
// ($XDG_CONFIG_HOME/zorvik/window.conf), apart from "zorvik.cfg", whose
// three lines stay as they are, and in every layout, portable or installed:
// they belong to the user, not to the copy of the program.
#pragma once

class wxConfigBase;
class wxTopLevelWindow;

// The settings file, opened on first use. Every change is written out at
// once by SaveToolkitSettings.
wxConfigBase& ToolkitSettings();

// Writes pending changes, making the directory when needed. A settings
// file that cannot be written costs the user only these conveniences, so
// it is not reported.
void SaveToolkitSettings();

// The main window's size, position and maximised state: put back from the
// settings before the window is first shown, kept when it closes.
void RestoreWindowPlacement(wxTopLevelWindow& window);
void SaveWindowPlacement(wxTopLevelWindow& window);
