#include "convert/export_formats.h"

#include <array>
#include <cstddef>
#include <utility>

#include "convert/cob_export.h"
#include "convert/gltf_export.h"
#include "convert/lgmd_export.h"
#include "convert/obj_export.h"
#include "io/text.h"

namespace {

struct FormatName {
  ExportFormat format;
  const char* name;  // the extension without its dot
};

constexpr std::array<FormatName, 5> kFormats = {{{ExportFormat::kCob, "cob"},
                                                 {ExportFormat::kGlb, "glb"},
                                                 {ExportFormat::kGltf, "gltf"},
                                                 {ExportFormat::kObj, "obj"},
                                                 {ExportFormat::kLgmd, "bin"}}};

}  // namespace

bool ExportFormatOfName(const std::string& name, ExportFormat& format) {
  const std::string lower = LowerAscii(name);
  for (const FormatName& entry : kFormats) {
    if (lower == entry.name) {
      format = entry.format;
      return true;
    }
  }
  return false;
}

bool ExportFormatOfPath(const std::string& path, ExportFormat& format) {
  const std::string name = FileNamePart(path);
  const std::string::size_type dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  return ExportFormatOfName(name.substr(dot + 1), format);
}

const char* ExportExtension(ExportFormat format) {
  switch (format) {
    case ExportFormat::kCob:
      return ".cob";
    case ExportFormat::kGlb:
      return ".glb";
    case ExportFormat::kGltf:
      return ".gltf";
    case ExportFormat::kObj:
      return ".obj";
    case ExportFormat::kLgmd:
      return ".bin";
  }
  return "";
}

std::string ExportExtensionList() {
  std::string list;
  for (std::size_t i = 0; i < kFormats.size(); ++i) {
    if (i > 0) list += i + 1 == kFormats.size() ? " or " : ", ";
    list += std::string(".") + kFormats[i].name;
  }
  return list;
}

// The LGMD re-save holds the file's own colours and textures, as .cob holds
// none.
bool ExportNeedsPalette(ExportFormat format) {
  return format != ExportFormat::kCob && format != ExportFormat::kLgmd;
}

bool ExportMayReplaceModel(ExportFormat format) { return format == ExportFormat::kLgmd; }

std::vector<std::string> ExportCompanionPaths(ExportFormat format, const std::string& outPath) {
  switch (format) {
    case ExportFormat::kGltf:
      return {GltfBufferPath(outPath)};
    case ExportFormat::kObj:
      return {ObjLibraryPath(outPath)};
    case ExportFormat::kCob:
    case ExportFormat::kGlb:
    case ExportFormat::kLgmd:
      break;
  }
  return {};
}

BuildResult BuildExportFiles(const CModel& model, ExportFormat format, const std::string& outPath,
                             std::vector<OutputFile>& files) {
  files.clear();
  switch (format) {
    case ExportFormat::kCob:
      files.push_back({outPath, cob::BuildCobFile(model)});
      return {};
    case ExportFormat::kGlb:
      return BuildGltf(model, outPath, true, files);
    case ExportFormat::kGltf:
      return BuildGltf(model, outPath, false, files);
    case ExportFormat::kObj:
      return BuildObj(model, outPath, files);
    case ExportFormat::kLgmd:
      break;
  }
  return {BuildStatus::kWrongFormat, "an LGMD model is saved again from its file"};
}

BuildResult BuildExportFiles(const CModel& model, const std::string& modelPath, ExportFormat format,
                             const std::string& outPath, std::vector<OutputFile>& files) {
  if (format == ExportFormat::kLgmd) return BuildLgmdExport(modelPath, outPath, files);
  return BuildExportFiles(model, format, outPath, files);
}
