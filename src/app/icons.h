// Images drawn for this program in code: the toolbar buttons and the
// application icon.
#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

// The six toolbar images, 16 x 15 pixels each, in toolbar order.
enum class ToolImage { Open, SanfranPalette, SeattlePalette, Wireframe, Textured, BkgndColor };

inline constexpr int kToolImageWidth = 16;
inline constexpr int kToolImageHeight = 15;

wxBitmap MakeToolBitmap(ToolImage image);

// The application icon (a cone, a box, a cylinder and a sphere) drawn at
// size x size pixels with a transparent background.
wxBitmap MakeAppIconBitmap(int size);

// The icon at 32 x 32 and 16 x 16, for the frame.
wxIconBundle MakeAppIcons();
