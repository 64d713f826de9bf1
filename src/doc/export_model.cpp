#include <string>

#include "doc/app_paths.h"
#include "doc/zorvik_doc.h"

// The model only reports what went wrong; the document is where the user
// hears of it.
int CZorvikDoc::ExportModel(const std::string& path) {
  std::string strError;
  if (m_model.ExportCob(path, strError) != 0) {
    ShowError(strError);
    return -1;
  }
  return 0;
}
