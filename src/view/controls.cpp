#include "view/controls.h"

namespace {

constexpr ControlRow kControls[] = {
    {"left drag", "turn about Y and X (with Ctrl: about Z)"},
    {"right drag", "zoom"},
    {"mouse wheel", "zoom, about a tenth per notch"},
    {"middle drag", "pan: the model follows the pointer"},
    {"Page Up / Page Down, Left / Right (also on the keypad)", "pan"},
    {"Up / Down, keypad + / -", "zoom"},
    {"Home (also on the keypad)", "fit the camera again"},
    {"1 / 2, double-click", "wireframe / textured look"},
    {"`]` / `[`, Ctrl+Page Down / Ctrl+Page Up", "next / previous model in the folder (View menu)"},
    {"a model dropped onto the window", "opens it; a model of another format is imported"},
    {"toolbar", "open, San Francisco / Seattle palette, wireframe, textured, background colour"},
    {"File > Import... (Ctrl+I)",
     "open a model of another format (glTF, OBJ, FBX, Collada, 3DS, PLY, STL, OFF...) converted "
     "to LGMD, shown through the current palette"},
    {"File > Save (Ctrl+S)", "export as a trueSpace \".cob\" file"},
    {"File > Export... (Ctrl+E)",
     "export as glTF (\".glb\", \".gltf\") or Wavefront \".obj\" with the palette shown, or save "
     "the model again as LGMD (\".bin\")"},
    {"File > Save Picture...", "the view as a PNG picture of the window's size"},
    {"File > 1 to 4", "the last four models opened"},
    {"File > Exit, Ctrl+Q", "quit"},
    {"Ctrl+O, Ctrl+N", "File Open; read the settings file again"},
    {"View > Model Information, Toolbar, Status Bar", "the model's counts; show or hide the bars"},
    {"Help > Controls (F1)", "this list"},
    {"Ctrl+Z, Ctrl+X, Ctrl+C, Ctrl+V, F6, Shift+F6", "taken by the window, do nothing"},
    {"Alt+Backspace, Shift+Delete, Ctrl+Insert, Shift+Insert", "the same"},
    {"Alt+F, Alt+V, Alt+H", "the menus"},
};

}  // namespace

std::span<const ControlRow> ViewerControls() { return kControls; }

std::string PlainControlText(const char* markdown) {
  std::string plain;
  for (const char* c = markdown; *c != '\0'; ++c) {
    if (*c != '`') plain += *c;
  }
  return plain;
}
