// Command and control ids shared by the menus, accelerators, toolbar,
// prompts and handlers: the toolkit's stock ids where one exists, our own
// above wxID_HIGHEST for the rest.
#pragma once

#include <wx/defs.h>

inline constexpr int ID_FILE_NEW = wxID_NEW;
inline constexpr int ID_FILE_OPEN = wxID_OPEN;
inline constexpr int ID_FILE_SAVE = wxID_SAVE;
inline constexpr int ID_APP_EXIT = wxID_EXIT;
inline constexpr int ID_APP_ABOUT = wxID_ABOUT;
inline constexpr int ID_EDIT_UNDO = wxID_UNDO;
inline constexpr int ID_EDIT_CUT = wxID_CUT;
inline constexpr int ID_EDIT_COPY = wxID_COPY;
inline constexpr int ID_EDIT_PASTE = wxID_PASTE;

enum : int {
  ID_VIEW_SANFRAN_PALETTE = wxID_HIGHEST + 1,
  ID_VIEW_SEATTLE_PALETTE,
  ID_VIEW_WIREFRAME,
  ID_VIEW_TEXTURED,
  ID_VIEW_BKGND_COLOR,
  ID_VIEW_MODEL_INFO,
  ID_VIEW_TOOLBAR,
  ID_VIEW_STATUS_BAR,
  ID_NEXT_PANE,
  ID_PREV_PANE,
  ID_FILE_EXPORT,
  ID_FILE_IMPORT,

  // The value controls of the Model Information dialog.
  IDC_POLYGONS,
  IDC_VERTICES,
  IDC_MATERIALS,
};

// The desktop's commands: the view as a picture, the neighbouring models of
// the folder, and the recent files (the toolkit's numbered file ids).
enum : int {
  ID_FILE_SAVE_PICTURE = wxID_HIGHEST + 100,
  ID_VIEW_NEXT_MODEL,
  ID_VIEW_PREV_MODEL,
  ID_HELP_CONTROLS,
};
inline constexpr int ID_FILE_MRU_FILE1 = wxID_FILE1;
