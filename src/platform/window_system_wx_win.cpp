// The Windows side of the parts of the platform layer that reach below the
// toolkit: the keyboard's lock indicators and the window's size on the
// display.
#include <windows.h>

#include <wx/toplevel.h>

#include "platform/platform_wx.h"

namespace platform {

// The low bit of the key's state is its toggle: the indicator's light.
bool IsScrollLockOn() { return (GetKeyState(VK_SCROLL) & 1) != 0; }

// Windows itself keeps a window at or above the minimum size it asks for
// (the toolkit answers WM_GETMINMAXINFO with it), with or without a
// window manager's help.
void KeepAboveMinimumSize(wxTopLevelWindow*) {}

}  // namespace platform
