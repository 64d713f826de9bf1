// File > Import... (Ctrl+I): a model of another format, converted in memory
// and opened as the LGMD model it becomes. The open goes the way of every
// other (OpenModel), so the title, the palette switch and the recent
// files treat it as they treat a model.
#include "view/zorvik_view.h"

namespace {

// The formats people bring most; any other the import library reads opens
// through "All files".
constexpr const char* kForeignFilter =
    "3D models (*.glb;*.gltf;*.obj;*.fbx;*.dae;*.3ds;*.ply;*.stl;*.off)|"
    "*.glb;*.gltf;*.obj;*.fbx;*.dae;*.3ds;*.ply;*.stl;*.off;*.GLB;*.GLTF;*.OBJ;*.FBX;*.DAE;*.3DS;*."
    "PLY;*.STL;*.OFF|"
    "All files (*)|*";

}  // namespace

void CZorvikView::OnFileImport(wxCommandEvent&) { AskAndOpen(kForeignFilter, ""); }
