// `zorvik export FILE.bin OUT [--palette N]` and the batch form
// `zorvik export --format F --out-dir DIR FILE.bin...`: the model written as
// a trueSpace object (.cob, geometry only, as the viewer's File > Save), as
// glTF (.glb, .gltf) or Wavefront OBJ (.obj) with its parts, colours and
// palette-converted textures, or saved again as LGMD (.bin).

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/palette_textures.h"
#include "cli/subcommand.h"
#include "convert/export_formats.h"
#include "io/output_plan.h"
#include "io/safe_write.h"
#include "model/mip_file.h"
#include "model/model.h"

namespace {

namespace fs = std::filesystem;

struct ExportArgs {
  std::vector<std::string> paths;  // FILE OUT, or the models of a batch
  std::string strFormat;
  std::string strOutDir;
  int nPalette = 0;  // any integer, as the configuration's "Region"
};

constexpr const char* kRole = "the model being exported";

// One model's export: the main file and the companions its name alone
// decides, claimed before anything of the run is written.
struct ExportJob {
  std::string modelPath;
  std::string outPath;
};

std::vector<std::string> PlannedFiles(ExportFormat format, const std::string& outPath) {
  std::vector<std::string> paths = ExportCompanionPaths(format, outPath);
  paths.push_back(outPath);
  return paths;
}

// Reads the model and writes its export; the texture pictures, known only
// now, are claimed in the run's plan before any of its files is written.
int ExportOne(output::COutputPlan& plan, const ExportJob& job, ExportFormat format, int palette) {
  CModel model;
  if (ExportNeedsPalette(format)) {
    const OpenResult opened = OpenForCommand(model, job.modelPath, palette);
    if (!opened.Ok()) return kExitFailure;
    // In the viewer's words; the export goes on with the colour it draws.
    if (!opened.missingTextures.empty()) Complain(opened.MissingTexturesMessage());
  } else if (!ReadModelOrComplain(model, job.modelPath)) {
    return kExitFailure;
  }
  std::vector<OutputFile> files;
  if (const BuildResult built = BuildExportFiles(model, job.modelPath, format, job.outPath, files);
      !built.Ok()) {
    Complain(built.reason);
    return kExitFailure;
  }
  const std::vector<std::string> planned = PlannedFiles(format, job.outPath);
  std::vector<std::string> pictures;
  for (const OutputFile& file : files) {
    if (std::find(planned.begin(), planned.end(), file.path) == planned.end()) {
      pictures.push_back(file.path);
    }
  }
  if (const output::PlanCheck check = plan.Claim(job.modelPath, pictures); !check.Ok()) {
    Complain(check.Line());
    return kExitFailure;
  }
  if (const safewrite::WriteResult written = safewrite::WriteFiles(files); !written.Ok()) {
    Complain(written.Line());
    return kExitFailure;
  }
  return kExitOk;
}

// Every model is an input of the run and every output is claimed before
// the first model is read, so no output of the run can replace a model
// that a later job of it still has to read. A job whose files clash is
// left out with the reason; the others go on.
int RunJobs(const std::vector<ExportJob>& jobs, ExportFormat format, int palette) {
  output::COutputPlan plan(kRole);
  for (const ExportJob& job : jobs) plan.AddInput(job.modelPath);
  int status = kExitOk;
  std::vector<const ExportJob*> planned;
  for (const ExportJob& job : jobs) {
    const output::PlanCheck check =
        plan.Claim(job.modelPath, PlannedFiles(format, job.outPath), ExportMayReplaceModel(format));
    if (check.Ok()) {
      planned.push_back(&job);
    } else {
      Complain(check.Line());
      status = kExitFailure;
    }
  }
  for (const ExportJob* job : planned) {
    if (ExportOne(plan, *job, format, palette) != kExitOk) status = kExitFailure;
  }
  return status;
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
  return RunJobs({{args.paths[0], args.paths[1]}}, format, args.nPalette);
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
  std::vector<ExportJob> jobs;
  for (const std::string& modelPath : args.paths) {
    jobs.push_back(
        {modelPath, BatchOutputPath(args.strOutDir, modelPath, ExportExtension(format))});
  }
  return RunJobs(jobs, format, args.nPalette);
}

}  // namespace

void AddExportCommand(CLI::App& app, int& exitCode) {
  const auto [cmd, args] = AddSubcommand<ExportArgs>(
      app, "export",
      "Write a model as trueSpace (.cob), glTF (.glb, .gltf), Wavefront OBJ (.obj) or LGMD (.bin)");
  cmd.add_option("FILES", args->paths,
                 "FILE.bin OUT (the format follows OUT's extension: " + ExportExtensionList() +
                     "), or with --out-dir the models to export")
      ->required();
  CLI::Option* format = cmd.add_option("--format", args->strFormat,
                                       "Format of a batch export: cob, glb, gltf, obj, bin");
  CLI::Option* outDir =
      cmd.add_option("--out-dir", args->strOutDir, "Folder of a batch export: DIR/<name>.<format>");
  AddPaletteOption(cmd, args->nPalette);
  cmd.footer(
      "OUT.bin saves the model again as LGMD, with the file's own colours: every byte of its\n"
      "sections comes back, but bytes outside every section (gaps between sections, a partial\n"
      "texture-coordinate record) are not kept. The .mip files it names are copied beside OUT\n"
      "when OUT is in another folder. It may replace an existing LGMD model, never the one\n"
      "it is made from.");
  cmd.callback([args, format, outDir, &exitCode] {
    const bool batch = format->count() > 0 || outDir->count() > 0;
    exitCode = batch ? RunBatch(*args) : RunSingle(*args);
  });
}
