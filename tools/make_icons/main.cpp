// Writes the application icons that the installation puts into the
// desktop's icon theme, drawn by the program's own icon code:
// zorvik-N.png for each size the theme looks for, and zorvik.svg for any
// other size.
//
//   make_icons OUTDIR
//
// scripts/make-icons.sh runs it into data/icons; the files are kept in the
// repository so that building needs no display.
#include <cairo-svg.h>

#include <cstdio>
#include <memory>
#include <string>

#include <wx/graphics.h>
#include <wx/image.h>

#include "app/icons.h"

namespace {

// The sizes of the icon theme's fixed-size directories.
constexpr int kPngSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
// The scalable icon's nominal size; the drawing scales from its 32-pixel
// design space, pen widths with it.
constexpr double kSvgSize = 256.0;

bool WritePng(const std::string& dir, int size) {
  const std::string path = dir + "/zorvik-" + std::to_string(size) + ".png";
  if (!MakeAppIconImage(size).SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG)) {
    std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

bool WriteSvg(const std::string& dir) {
  const std::string path = dir + "/zorvik.svg";
  cairo_surface_t* surface = cairo_svg_surface_create(path.c_str(), kSvgSize, kSvgSize);
  cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
  cairo_t* cr = cairo_create(surface);
  {
    std::unique_ptr<wxGraphicsContext> gc(
        wxGraphicsRenderer::GetCairoRenderer()->CreateContextFromNativeContext(cr));
    if (gc) DrawAppIcon(*gc, kSvgSize);
  }
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  if (!ok) std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons OUTDIR\n");
    return 2;
  }
  wxImage::AddHandler(new wxPNGHandler);
  const std::string dir = argv[1];
  bool ok = true;
  for (int size : kPngSizes) ok = WritePng(dir, size) && ok;
  ok = WriteSvg(dir) && ok;
  return ok ? 0 : 1;
}
