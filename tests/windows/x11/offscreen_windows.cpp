// Writes the picture of every X window that the X server keeps offscreen
// (redirected with XComposite) as <folder>/<window id>.ppm, for
// scripts/test-windows.sh.
//
// Wine draws the OpenGL of a child window, such as the viewer's view, into
// an X window of its own that is redirected offscreen, and copies it into
// the frame on every swap. Wine 8 has that copy go to no drawable (its
// trace shows the X errors), so the frame shows black where Windows shows
// the view; the picture itself is in the offscreen window, and this reads
// it from there. Built for Linux by the test script (a folder of its own,
// apart from the Windows tests beside it):
//
//   offscreen_windows <folder>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xcomposite.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool g_failed = false;

// A window that is not redirected has no offscreen picture: the request
// fails, which only means "skip it".
int NoteError(Display*, XErrorEvent*) {
  g_failed = true;
  return 0;
}

// The shift that brings a colour mask's lowest bit to bit 0.
int MaskShift(unsigned long mask) {
  int shift = 0;
  while (mask != 0 && (mask & 1) == 0) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

unsigned char Channel(unsigned long pixel, unsigned long mask) {
  const unsigned long max = mask >> MaskShift(mask);
  return static_cast<unsigned char>(((pixel & mask) >> MaskShift(mask)) * 255 / (max ? max : 1));
}

bool WritePpm(const std::string& path, XImage* image, const Visual* visual) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  std::fprintf(file, "P6\n%d %d\n255\n", image->width, image->height);
  std::vector<unsigned char> row(static_cast<size_t>(image->width) * 3);
  for (int y = 0; y < image->height; ++y) {
    for (int x = 0; x < image->width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      row[x * 3] = Channel(pixel, visual->red_mask);
      row[x * 3 + 1] = Channel(pixel, visual->green_mask);
      row[x * 3 + 2] = Channel(pixel, visual->blue_mask);
    }
    std::fwrite(row.data(), 1, row.size(), file);
  }
  return std::fclose(file) == 0;
}

// Grabs window's offscreen picture when it has one; true when written.
bool GrabOffscreen(Display* display, Window window, const std::string& folder) {
  XWindowAttributes attrs;
  if (!XGetWindowAttributes(display, window, &attrs) || attrs.map_state != IsViewable ||
      attrs.width < 2 || attrs.height < 2 || attrs.c_class != InputOutput) {
    return false;
  }
  g_failed = false;
  const Pixmap pixmap = XCompositeNameWindowPixmap(display, window);
  XSync(display, False);
  if (g_failed) return false;
  XImage* image = XGetImage(display, pixmap, 0, 0, attrs.width, attrs.height, AllPlanes, ZPixmap);
  XSync(display, False);
  bool written = false;
  if (image != nullptr && !g_failed) {
    char name[32];
    std::snprintf(name, sizeof name, "/%lx.ppm", window);
    written = WritePpm(folder + name, image, attrs.visual);
  }
  if (image != nullptr) XDestroyImage(image);
  XFreePixmap(display, pixmap);
  return written;
}

int GrabTree(Display* display, Window window, const std::string& folder) {
  int count = GrabOffscreen(display, window, folder) ? 1 : 0;
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned int n = 0;
  if (XQueryTree(display, window, &root, &parent, &children, &n)) {
    for (unsigned int i = 0; i < n; ++i) count += GrabTree(display, children[i], folder);
    if (children != nullptr) XFree(children);
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: offscreen_windows <folder>\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  int event_base = 0;
  int error_base = 0;
  if (display == nullptr || !XCompositeQueryExtension(display, &event_base, &error_base)) {
    std::fprintf(stderr, "offscreen_windows: no X display with the Composite extension\n");
    return 1;
  }
  XSetErrorHandler(NoteError);
  const int count = GrabTree(display, DefaultRootWindow(display), argv[1]);
  std::printf("%d\n", count);
  XCloseDisplay(display);
  return 0;
}
