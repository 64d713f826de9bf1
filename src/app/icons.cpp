#include "app/icons.h"

#include <array>
#include <memory>
#include <string_view>

#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/pen.h>

namespace {

// The toolbar keeps to the sixteen colours of the classic 4-bit palette,
// so the buttons look alike on every theme.
struct PixelColor {
  char key;
  unsigned char r, g, b;
};

constexpr PixelColor kPixelColors[] = {
    {'k', 0, 0, 0},     {'r', 128, 0, 0},     {'R', 255, 0, 0},     {'g', 0, 128, 0},
    {'G', 0, 255, 0},   {'y', 128, 128, 0},   {'Y', 255, 255, 0},   {'b', 0, 0, 128},
    {'B', 0, 0, 255},   {'m', 128, 0, 128},   {'M', 255, 0, 255},   {'c', 0, 128, 128},
    {'C', 0, 255, 255}, {'d', 128, 128, 128}, {'w', 192, 192, 192}, {'W', 255, 255, 255},
};

// '.' is transparent; '#' is the textured triangle's checker of cyan and
// blue, chosen by pixel position.
using ToolPicture = std::array<std::string_view, kToolImageHeight>;

// The pictures in the order of ToolImage.
constexpr ToolPicture kToolPictures[] = {
    // Open: a folder opening
    {{"................", "..........kkk...", ".........k...k.k", "..............kk",
      ".kkk.........kkk", "kYWYkkkkkkk.....", "kWYWYWYWYWk.....", "kYWYWYWYWYk.....",
      "kWYWYkkkkkkkkkkk", "kYWYkyyyyyyyyyk.", "kWYkyyyyyyyyyk..", "kYkyyyyyyyyyk...",
      "kkyyyyyyyyyk....", "kkkkkkkkkkk.....", "................"}},
    // San Francisco palette: a red bridge
    {{"................", "...RR......RR...", "..RRRR....RRRR..", ".R.RR.R..R.RR.R.",
      "R..RR..RR..RR..R", "...RR.R..R.RR...", "...RRR....RRR...", "RRRRRRRRRRRRRRRR",
      "rrrrrrrrrrrrrrrr", "...RR......RR...", "...RR......RR...", "BBBRRBBBBBBRRBBB",
      "BBBRRBBBBBBRRBBB", "bbbbbbbbbbbbbbbb", "................"}},
    // Seattle palette: a dark tower
    {{".......kk.......", ".......kk.......", "....kkkkkkkk....", "..kddddddddddk..",
      "....kkkkkkkk....", "......kkkk......", "......kddk......", "......kddk......",
      ".....kkddkk.....", ".....k.dd.k.....", "....kk.dd.kk....", "....k..dd..k....",
      "...kk..dd..kk...", "..kkkkkkkkkkkk..", "................"}},
    // Wireframe: an outlined triangle
    {{"................", ".......kk.......", ".......kk.......", "......k..k......",
      "......k..k......", ".....k....k.....", ".....k....k.....", "....k......k....",
      "....k......k....", "...k........k...", "...k........k...", "..k..........k..",
      "..k..........k..", ".kkkkkkkkkkkkkk.", "................"}},
    // Textured: a checkered triangle
    {{"................", ".......kk.......", ".......kk.......", "......k##k......",
      "......k##k......", ".....k####k.....", ".....k####k.....", "....k######k....",
      "....k######k....", "...k########k...", "...k########k...", "..k##########k..",
      "..k##########k..", ".kkkkkkkkkkkkkk.", "................"}},
    // Background colour: a monitor in colours
    {{"................", ".kkkkkkkkkkkkkk.", ".kwwwwwwwwwwwwk.", ".kwkkkkkkkkkkwk.",
      ".kwkRRkGGkBBkwk.", ".kwkRRkGGkBBkwk.", ".kwkkkkkkkkkkwk.", ".kwkYYkCCkMMkwk.",
      ".kwkYYkCCkMMkwk.", ".kwkkkkkkkkkkwk.", ".kwwwwwwwwwwwwk.", ".kkkkkkkkkkkkkk.",
      "......kwwk......", "....kkkkkkkk....", "................"}},
};
static_assert(std::size(kToolPictures) == static_cast<std::size_t>(ToolImage::BkgndColor) + 1,
              "one toolbar picture for each tool image");

constexpr bool AllRowsFit() {
  for (const ToolPicture& picture : kToolPictures) {
    for (std::string_view row : picture) {
      if (row.size() != kToolImageWidth) return false;
    }
  }
  return true;
}
static_assert(AllRowsFit(), "every toolbar picture row is one image wide");

const ToolPicture& PictureFor(ToolImage image) {
  return kToolPictures[static_cast<std::size_t>(image)];
}

PixelColor ColorOf(char key, int x, int y) {
  if (key == '#') key = ((x / 2 + y / 2) % 2 == 0) ? 'C' : 'B';
  for (const PixelColor& color : kPixelColors) {
    if (color.key == key) return color;
  }
  return {'k', 0, 0, 0};
}

}  // namespace

wxBitmap MakeToolBitmap(ToolImage image) {
  const ToolPicture& picture = PictureFor(image);
  wxImage img(kToolImageWidth, kToolImageHeight);
  img.InitAlpha();
  for (int y = 0; y < kToolImageHeight; ++y) {
    for (int x = 0; x < kToolImageWidth; ++x) {
      const char key = picture[y][x];
      if (key == '.') {
        img.SetRGB(x, y, 0, 0, 0);
        img.SetAlpha(x, y, wxIMAGE_ALPHA_TRANSPARENT);
        continue;
      }
      const PixelColor color = ColorOf(key, x, y);
      img.SetRGB(x, y, color.r, color.g, color.b);
      img.SetAlpha(x, y, wxIMAGE_ALPHA_OPAQUE);
    }
  }
  return wxBitmap(img);
}

namespace {

// Each solid is drawn in a 32 x 32 design space, one quarter each, lit from
// the upper left: a lighter face or gradient stop towards the light.
// The solids of the left column (x 2 to 14) darken from left to right.
void ShadeLeftColumn(wxGraphicsContext& gc, const wxColour& edge, const wxColour& lit,
                     const wxColour& dark) {
  gc.SetPen(wxPen(edge));
  gc.SetBrush(gc.CreateLinearGradientBrush(2, 0, 14, 0, lit, dark));
}

void DrawCone(wxGraphicsContext& gc) {
  ShadeLeftColumn(gc, wxColour(96, 80, 0), wxColour(255, 240, 120), wxColour(200, 160, 0));
  wxGraphicsPath path = gc.CreatePath();
  path.MoveToPoint(8, 1);
  path.AddLineToPoint(14, 13);
  path.AddArc(8, 13, 6, 0, M_PI, true);
  path.CloseSubpath();
  gc.DrawPath(path);
}

void DrawBox(wxGraphicsContext& gc) {
  gc.SetPen(wxPen(wxColour(80, 0, 0)));
  const wxPoint2DDouble top[] = {{18, 5}, {24, 2}, {31, 5}, {25, 8}, {18, 5}};
  const wxPoint2DDouble front[] = {{18, 5}, {25, 8}, {25, 15}, {18, 12}, {18, 5}};
  const wxPoint2DDouble side[] = {{25, 8}, {31, 5}, {31, 12}, {25, 15}, {25, 8}};
  gc.SetBrush(wxBrush(wxColour(255, 120, 120)));
  gc.DrawLines(5, top);
  gc.SetBrush(wxBrush(wxColour(220, 0, 0)));
  gc.DrawLines(5, front);
  gc.SetBrush(wxBrush(wxColour(140, 0, 0)));
  gc.DrawLines(5, side);
}

void DrawCylinder(wxGraphicsContext& gc) {
  ShadeLeftColumn(gc, wxColour(0, 70, 0), wxColour(140, 255, 140), wxColour(0, 120, 0));
  wxGraphicsPath body = gc.CreatePath();
  body.MoveToPoint(2, 20);
  body.AddLineToPoint(2, 28);
  body.AddArc(8, 28, 6, M_PI, 0, false);
  body.AddLineToPoint(14, 20);
  body.CloseSubpath();
  gc.DrawPath(body);
  gc.SetBrush(wxBrush(wxColour(180, 255, 180)));
  gc.DrawEllipse(2, 18, 12, 4);
}

void DrawSphere(wxGraphicsContext& gc) {
  gc.SetPen(wxPen(wxColour(0, 0, 90)));
  gc.SetBrush(gc.CreateRadialGradientBrush(22, 20, 24, 24, 8, wxColour(170, 200, 255),
                                           wxColour(0, 40, 200)));
  gc.DrawEllipse(17, 18, 13, 13);
}

}  // namespace

void DrawAppIcon(wxGraphicsContext& gc, double size) {
  gc.SetAntialiasMode(wxANTIALIAS_DEFAULT);
  gc.Scale(size / 32.0, size / 32.0);
  DrawCone(gc);
  DrawBox(gc);
  DrawCylinder(gc);
  DrawSphere(gc);
}

wxImage MakeAppIconImage(int size) {
  wxImage img(size, size);
  img.InitAlpha();
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) img.SetAlpha(x, y, wxIMAGE_ALPHA_TRANSPARENT);
  }
  {
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(img));
    if (gc) DrawAppIcon(*gc, size);
  }  // the context writes back into img when it goes
  return img;
}

wxBitmap MakeAppIconBitmap(int size) { return wxBitmap(MakeAppIconImage(size)); }

wxIconBundle MakeAppIcons() {
  wxIconBundle icons;
  for (int size : {32, 16}) {
    wxIcon icon;
    icon.CopyFromBitmap(MakeAppIconBitmap(size));
    icons.AddIcon(icon);
  }
  return icons;
}
