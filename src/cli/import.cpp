// `zorvik import IN OUT.bin [--palette N] [--name NAME] [--scale S]
// [--simplify]`: a model in any format the Open Asset Import Library reads
// (glTF, OBJ, FBX, Collada, 3DS, PLY, STL, OFF...) made into an LGMD model,
// its textures written beside it as ".mip" files through the palette.

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/palette_textures.h"
#include "cli/subcommand.h"
#include "doc/foreign_import.h"
#include "io/output_plan.h"
#include "io/safe_write.h"
#include "io/system_path.h"
#include "io/text.h"
#include "model/lgmd_writer.h"
#include "model/model.h"

namespace {

struct ImportArgs {
  std::string strIn;
  std::string strOut;
  std::string strName;
  double dScale = 1.0;
  int nPalette = 0;
  bool bSimplify = false;
};

int Fail(const std::string& in, const std::string& reason) {
  ImportResult result;
  result.reason = reason;
  Complain(ImportFailureLine(in, result));
  return kExitFailure;
}

// The model and its textures, all or nothing, after the plan has seen
// every file.
int WriteImport(const ImportArgs& args, output::COutputPlan& plan, const CModel& model,
                const ImportedModel& imported) {
  std::vector<safewrite::OutputFile> files(1);
  files[0].path = args.strOut;
  if (const LgmdWriteResult written = WriteLgmd(model, files[0].bytes); !written.ok()) {
    return Fail(args.strIn, written.reason);
  }
  // UTF-8 names, which Windows' path objects take in its own code page
  // unless told.
  const std::filesystem::path folder = syspath::FromUtf8(args.strOut).parent_path();
  std::vector<std::string> textures;
  for (const ImportedTexture& texture : imported.textures) {
    files.push_back({syspath::ToUtf8(folder / syspath::FromUtf8(texture.fileName)), texture.bytes});
    textures.push_back(files.back().path);
  }
  if (const output::PlanCheck check = plan.Claim(args.strIn, textures); !check.Ok()) {
    return Fail(args.strIn, check.Line());
  }
  if (const safewrite::WriteResult written = safewrite::WriteFiles(files); !written.Ok()) {
    return Fail(args.strIn, written.Line());
  }
  return kExitOk;
}

int RunImport(const ImportArgs& args) {
  if (!LowerAscii(args.strOut).ends_with(".bin")) {
    Complain("import writes an LGMD model: OUT must end in .bin");
    return kExitUsage;
  }
  if (!std::isfinite(args.dScale) || args.dScale <= 0.0) {
    Complain("--scale takes a number greater than 0");
    return kExitUsage;
  }
  output::COutputPlan plan("the model being imported");
  plan.AddInput(args.strIn);
  if (const output::PlanCheck check = plan.Claim(args.strIn, {args.strOut}, true); !check.Ok()) {
    return Fail(args.strIn, check.Line());
  }
  CModel palette;
  // The program's own palette missing is no fault of IN: said as the
  // other commands say it.
  if (!LoadProgramPaletteOrComplain(palette, args.nPalette)) return kExitFailure;
  ImportOptions options;
  options.name =
      args.strName.empty() ? syspath::ToUtf8(syspath::FromUtf8(args.strOut).stem()) : args.strName;
  options.scale = args.dScale;
  options.simplify = args.bSimplify;
  options.palette = args.nPalette;
  ImportedModel imported;
  const ImportResult result = ImportForeignModel(args.strIn, options, palette.Palette(), imported);
  if (!result.Ok()) {
    Complain(ImportFailureLine(args.strIn, result));
    return kExitFailure;
  }
  // Names cut to fit and such: the first few, then how many more.
  constexpr std::size_t kNotesShown = 12;
  for (std::size_t i = 0; i < result.notes.size() && i < kNotesShown; ++i)
    Complain(result.notes[i]);
  if (result.notes.size() > kNotesShown) {
    Complain("and " + std::to_string(result.notes.size() - kNotesShown) + " more names changed");
  }
  CModel model;
  model.Assign(std::move(imported.content));
  return WriteImport(args, plan, model, imported);
}

}  // namespace

void AddImportCommand(CLI::App& app, int& exitCode) {
  const auto [cmd, args] = AddSubcommand<ImportArgs>(
      app, "import",
      "Make a model of another format (glTF, OBJ, FBX, Collada, 3DS, PLY, STL, OFF...) into LGMD");
  cmd.add_option("IN", args->strIn,
                 "The model to import, in any format the Open Asset Import Library reads")
      ->required();
  cmd.add_option("OUT", args->strOut, "OUT.bin; its textures go beside it as <material>.mip")
      ->required();
  AddPaletteOption(cmd, args->nPalette,
                   ": the palette the\nmodel is shown through, and its textures converted through");
  cmd.add_option("--name", args->strName,
                 "The model's name (default OUT's name, at most 8 characters)");
  cmd.add_option("--scale", args->dScale,
                 "Multiplies the size the file gives in its own unit (default 1)");
  cmd.add_flag("--simplify", args->bSimplify,
               "Reduce a model with more than 32767 vertices or polygons until it fits,\n"
               "and merge more than 255 materials by colour");
  cmd.footer(
      "Sizes follow the unit the file declares (FBX, Collada; glTF is in metres), with +Y up as\n"
      "zorvik export writes it. Nodes with meshes become sub-objects, placed where they were;\n"
      "materials with a base-colour picture become textures, see-through ones named \"t_...\".\n"
      "Names changed to fit their fields are listed. The file is read by a separate process\n"
      "with at most 2 GiB of memory and 60 s; a file that needs more is refused.");
  cmd.callback([args, &exitCode] { exitCode = RunImport(*args); });
}
