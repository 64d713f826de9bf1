// File > Save (a trueSpace object) and File > Export (glTF, OBJ or LGMD): both ask
// for a name in the open model's directory and have the document write the
// model there, or tell the user why it could not.
#include <string>

#include "convert/export_formats.h"
#include "convert/export_scene.h"
#include "doc/app_paths.h"
#include "doc/zorvik_doc.h"
#include "io/path_parts.h"
#include "platform/platform.h"
#include "view/zorvik_view.h"

namespace {

constexpr const char* kExportFilter =
    "glTF Binary (*.glb)|*.glb|glTF (*.gltf)|*.gltf|Wavefront OBJ (*.obj)|*.obj|"
    "LGMD model (*.bin)|*.bin";
// The format the dialog offers first, and so the extension of the name it
// suggests.
constexpr ExportFormat kFirstExportFormat = ExportFormat::kGlb;

// The document says why an export failed; the user hears it from the box.
void ShowExportFailure(const ExportResult& result) {
  if (!result.Ok()) ShowError(result.message);
}

}  // namespace

// File > Save exports the open model, offered under the model's name in its
// folder. With nothing open there is nothing to save: an empty file written
// without a word would look like a saved model.
void CZorvikView::OnFileSave(wxCommandEvent& /*event*/) {
  if (m_strModelPath.empty()) return;
  platform::SaveFileRequest request;
  request.strDefaultExt = ".cob";
  request.strFilter = "Truespace Object Files (*.cob)|*.cob|All Files (*.*)|*.*";
  request.bOverwritePrompt = true;
  request.strInitialDir = DirectoryOf(m_strModelPath);
  request.strInitialName = PathStem(FileNamePart(m_strModelPath)) + request.strDefaultExt;
  std::string path;
  if (!platform::Current().AskSaveFile(request, path)) return;
  ShowExportFailure(GetDocument()->ExportModel(path));
}

// What is on screen goes out: the document's model already carries the
// palette shown and the texture images read for it, and textures that
// were missing were listed when the model was opened.
void CZorvikView::OnFileExport(wxCommandEvent& /*event*/) {
  if (m_strModelPath.empty()) return;
  platform::SaveFileRequest request;
  request.strFilter = kExportFilter;
  request.bOverwritePrompt = true;
  request.bExtensionFromFilter = true;
  request.strInitialDir = DirectoryOf(m_strModelPath);
  request.strInitialName =
      PathStem(FileNamePart(m_strModelPath)) + ExportExtension(kFirstExportFormat);
  std::string path;
  if (!platform::Current().AskSaveFile(request, path)) return;
  ExportFormat format{};
  if (!ExportFormatOfPath(path, format)) {
    platform::Current().ShowMessage(
        "Error opening " + path + " for writing: the name must end in .glb, .gltf, .obj or .bin",
        platform::MsgIcon::Stop);
    return;
  }
  ShowExportFailure(GetDocument()->ExportModel(path, format));
}

// Save and Export both need a model.
void CZorvikView::OnUpdateFileExport(wxUpdateUIEvent& event) {
  event.Enable(!m_strModelPath.empty());
}
