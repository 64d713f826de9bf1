// `zorvik export FILE.bin OUT [--palette N]` and the batch form
// `zorvik export --format F --out-dir DIR FILE.bin...`: the model written as
// a trueSpace object (.cob, geometry only, as the viewer's File > Save), or
// as glTF (.glb, .gltf) or Wavefront OBJ (.obj) with its parts, colours and
// palette-converted textures.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "cli/commands.h"
#include "cli/info_palette.h"
#include "cli/report.h"
#include "model/export_formats.h"
#include "model/mip_file.h"
#include "model/model.h"
#include "model/safe_write.h"
#include "model/same_file.h"

namespace {

namespace fs = std::filesystem;

struct ExportArgs {
  std::vector<std::string> paths;  // FILE OUT, or the models of a batch
  std::string strFormat;
  std::string strOutDir;
  int nPalette = 0;  // any integer, as the configuration's "Region"
};

// A careless OUT ("plane.gltf" beside "plane.bin" names its buffer after
// it in other tools) must never replace the model it was made from.
bool WouldOverwrite(const std::vector<OutputFile>& files, const std::string& modelPath,
                    std::string& strError) {
  const OutputFile* over = FindFileOverModel(files, modelPath);
  if (over == nullptr) return false;
  strError = "cannot write " + over->path + ": it is the model being exported";
  return true;
}

int ExportOne(const std::string& modelPath, ExportFormat format, const std::string& outPath,
              int palette) {
  CModel model;
  if (!ReadModelOrComplain(model, modelPath)) return kExitFailure;
  std::string strError;
  if (ExportNeedsPalette(format)) {
    std::string missing;
    if (LoadPaletteAndTextures(model, modelPath, palette, missing, strError) != 0) {
      Complain(strError);
      return kExitFailure;
    }
    // In the viewer's words; the export goes on with the colour it draws.
    if (!missing.empty()) {
      Complain(mip::kMissingTexturesHeading + missing);
    }
  }
  std::vector<OutputFile> files;
  if (BuildExportFiles(model, format, outPath, files, strError) != 0 ||
      WouldOverwrite(files, modelPath, strError) || safewrite::WriteFiles(files, strError) != 0) {
    Complain(strError);
    return kExitFailure;
  }
  return kExitOk;
}

int RunSingle(const ExportArgs& args) {
  if (args.paths.size() != 2) {
    Complain("export takes FILE.bin OUT, or --format F --out-dir DIR FILE.bin...");
    return kExitUsage;
  }
  ExportFormat format{};
  if (!ExportFormatOfPath(args.paths[1], format)) {
    Complain("OUT must end in " + ExportExtensionList());
    return kExitUsage;
  }
  return ExportOne(args.paths[0], format, args.paths[1], args.nPalette);
}

// DIR/<name>.<ext> for each model, on past a model that fails.
int RunBatch(const ExportArgs& args) {
  ExportFormat format{};
  if (args.strFormat.empty() || args.strOutDir.empty()) {
    Complain("--format and --out-dir go together");
    return kExitUsage;
  }
  if (!ExportFormatOfName(args.strFormat, format)) {
    Complain("--format must be one of " + ExportExtensionList() + " (without the dot)");
    return kExitUsage;
  }
  std::error_code ec;
  fs::create_directories(args.strOutDir, ec);
  if (ec || !fs::is_directory(args.strOutDir, ec)) {
    Complain("cannot create the folder " + args.strOutDir);
    return kExitFailure;
  }
  int status = kExitOk;
  std::map<std::string, std::string> madeFrom;  // output -> model, so none is written twice
  for (const std::string& modelPath : args.paths) {
    const std::string outPath =
        (fs::path(args.strOutDir) / fs::path(modelPath).stem()).string() + ExportExtension(format);
    const auto [it, fresh] = madeFrom.try_emplace(outPath, modelPath);
    if (!fresh) {
      Complain("not exporting " + modelPath + ": " + outPath + " holds the export of " +
               it->second);
      status = kExitFailure;
      continue;
    }
    if (ExportOne(modelPath, format, outPath, args.nPalette) != kExitOk) status = kExitFailure;
  }
  return status;
}

}  // namespace

void AddExportCommand(CLI::App& app, int& exitCode) {
  CLI::App* cmd = app.add_subcommand(
      "export", "Write a model as trueSpace (.cob), glTF (.glb, .gltf) or Wavefront OBJ (.obj)");
  auto args = std::make_shared<ExportArgs>();
  cmd->add_option("FILES", args->paths,
                  "FILE.bin OUT (the format follows OUT's extension: " + ExportExtensionList() +
                      "), or with --out-dir the models to export")
      ->required();
  CLI::Option* format =
      cmd->add_option("--format", args->strFormat, "Format of a batch export: cob, glb, gltf, obj");
  CLI::Option* outDir = cmd->add_option("--out-dir", args->strOutDir,
                                        "Folder of a batch export: DIR/<name>.<format>");
  cmd->add_option("--palette", args->nPalette,
                  "1 Seattle, any other integer San Francisco (default 0)");
  cmd->callback([args, format, outDir, &exitCode] {
    const bool batch = format->count() > 0 || outDir->count() > 0;
    exitCode = batch ? RunBatch(*args) : RunSingle(*args);
  });
}
