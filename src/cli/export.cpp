// `zorvik export FILE.bin OUT.cob`: the viewer's File > Save without the
// window. Only the geometry is written, so neither palette nor textures are
// loaded.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/report.h"
#include "model/model.h"

namespace {

struct ExportArgs {
  std::string strModel;
  std::string strOutput;
};

int RunExport(const ExportArgs& args) {
  CModel model;
  if (!ReadModelOrComplain(model, args.strModel)) return kExitFailure;
  std::string strError;
  if (model.ExportCob(args.strOutput, strError) != 0) {
    Complain(strError);
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

void AddExportCommand(CLI::App& app, int& exitCode) {
  CLI::App* cmd =
      app.add_subcommand("export", "Write a model's geometry as a trueSpace object file");
  auto args = std::make_shared<ExportArgs>();
  cmd->add_option("FILE", args->strModel, "LGMD model file (.bin)")->required();
  cmd->add_option("OUT", args->strOutput, "trueSpace object file to write (.cob)")->required();
  cmd->callback([args, &exitCode] { exitCode = RunExport(*args); });
}
