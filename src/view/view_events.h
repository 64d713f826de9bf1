// Events the view sends up to its frame.
#pragma once

#include <wx/event.h>

// A model was read and is shown: the command event's string is the path
// it was opened by. Sent after every successful open, whatever started it
// (File Open, the command line, a drop, the folder, the recent files).
wxDECLARE_EVENT(EVT_ZORVIK_MODEL_OPENED, wxCommandEvent);
