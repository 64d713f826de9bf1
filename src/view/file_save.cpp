#include <string>

#include "doc/zorvik_doc.h"
#include "platform/platform.h"
#include "view/zorvik_view.h"

// File > Save exports the open model; with nothing open the file simply
// holds no vertices and no faces, so there is nothing to check first.
void CZorvikView::OnFileSave(wxCommandEvent& /*event*/) {
  platform::SaveFileRequest request;
  request.strDefaultExt = ".cob";
  request.strFilter = "Truespace Object Files (*.cob)|*.cob|All Files (*.*)|*.*";
  request.bOverwritePrompt = true;
  std::string path;
  if (!platform::Current().AskSaveFile(request, path)) return;
  // Any failure has already been shown by the document.
  GetDocument()->ExportModel(path);
}
