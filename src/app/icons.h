// Images drawn for this program in code: the toolbar buttons and the
// application icon.
#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>
#include <wx/image.h>

class wxGraphicsContext;

// The six toolbar images, 16 x 15 pixels each, in toolbar order.
enum class ToolImage { Open, SanfranPalette, SeattlePalette, Wireframe, Textured, BkgndColor };

inline constexpr int kToolImageWidth = 16;
inline constexpr int kToolImageHeight = 15;

wxBitmap MakeToolBitmap(ToolImage image);

// The application icon (a cone, a box, a cylinder and a sphere) drawn into
// gc over a size x size square, leaving the background alone. The installed
// icons (PNG and SVG) are drawn by this too (tools/make_icons).
void DrawAppIcon(wxGraphicsContext& gc, double size);

// The application icon at size x size pixels with a transparent background.
wxImage MakeAppIconImage(int size);
wxBitmap MakeAppIconBitmap(int size);

// The icon at 32 x 32 and 16 x 16, for the frame.
wxIconBundle MakeAppIcons();
