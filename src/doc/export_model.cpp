#include <string>
#include <vector>

#include "convert/export_formats.h"
#include "doc/zorvik_doc.h"
#include "io/output_plan.h"
#include "io/safe_write.h"

ExportResult CZorvikDoc::ExportModel(const std::string& path) {
  return ExportModel(path, ExportFormat::kCob);
}

// The files are built in memory first, checked against the open model and
// any other model, and written all or nothing, so a refused or failed
// export leaves every target as it was.
ExportResult CZorvikDoc::ExportModel(const std::string& path, ExportFormat format) {
  std::vector<OutputFile> files;
  if (format == ExportFormat::kLgmd && !m_vecImportedFiles.empty()) {
    files = ImportedFilesFor(path);
  } else if (const BuildResult built =
                 BuildExportFiles(m_model, m_strModelFile, format, path, files);
             !built.Ok()) {
    return {ExportStatus::kCannotBuild, built.reason};
  }
  std::vector<std::string> companions;
  for (const OutputFile& file : files) companions.push_back(file.path);
  companions.pop_back();  // the main file, which alone may replace a model
  // The model on screen may be the only copy there is.
  output::COutputPlan plan(kOpenModelRole);
  output::PlanCheck check = plan.Claim(m_strModelFile, companions);
  if (check.Ok()) check = plan.Claim(m_strModelFile, {path}, ExportMayReplaceModel(format));
  if (!check.Ok()) {
    return {ExportStatus::kRefused, safewrite::OpenError(check.path) + "\r\n" + check.Reason()};
  }
  if (const safewrite::WriteResult written = safewrite::WriteFiles(files); !written.Ok()) {
    return {ExportStatus::kCannotWrite, written.Box()};
  }
  return {};
}
