#include <string>
#include <vector>

#include "doc/app_paths.h"
#include "doc/zorvik_doc.h"
#include "model/export_formats.h"
#include "model/safe_write.h"
#include "model/same_file.h"

int CZorvikDoc::ExportModel(const std::string& path) {
  return ExportModel(path, ExportFormat::kCob);
}

// The model only reports what went wrong; the document is where the user
// hears of it. The files are built in memory first and written all or
// nothing, so a refused or failed export leaves every target as it was.
int CZorvikDoc::ExportModel(const std::string& path, ExportFormat format) {
  std::vector<OutputFile> files;
  std::string strError;
  if (BuildExportFiles(m_model, format, path, files, strError) != 0) {
    ShowError(strError);
    return -1;
  }
  // The model on screen may be the only copy there is.
  if (const OutputFile* over = FindFileOverModel(files, m_strModelFile)) {
    ShowError(safewrite::OpenError(over->path) + ": it is the open model file");
    return -1;
  }
  if (safewrite::WriteFiles(files, strError) != 0) {
    ShowError(strError);
    return -1;
  }
  return 0;
}
