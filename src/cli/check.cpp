// `zorvik check FILE... [--json]`: every problem of each model, one line
// each with where it is. Errors fail the run (exit 1); warnings alone do not.

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/subcommand.h"
#include "model/model_check.h"

namespace {

using Json = nlohmann::ordered_json;

struct CheckArgs {
  std::vector<std::string> files;
  bool bJson = false;
};

const char* LevelName(CheckLevel level) { return level == CheckLevel::Error ? "error" : "warning"; }

std::string Count(std::size_t n, const char* noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

// "PATH: error: polygon 3: ..." for each problem, then a line of totals.
std::string AsText(const std::string& path, const std::vector<CheckProblem>& problems,
                   std::size_t errors) {
  std::string text;
  for (const CheckProblem& p : problems) {
    text += path + ": " + LevelName(p.level) + ": " + p.where + ": " + p.what + "\n";
  }
  if (problems.empty()) return text + path + ": no problems\n";
  return text + path + ": " + Count(errors, "error") + ", " +
         Count(problems.size() - errors, "warning") + "\n";
}

// One object a line, as `info --json` writes them.
std::string AsJson(const std::string& path, const std::vector<CheckProblem>& problems,
                   std::size_t errors) {
  Json list = Json::array();
  for (const CheckProblem& p : problems) {
    list.push_back({{"level", LevelName(p.level)}, {"where", p.where}, {"what", p.what}});
  }
  const Json object = {{"file", path},
                       {"errors", errors},
                       {"warnings", problems.size() - errors},
                       {"problems", list}};
  return object.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

int RunCheck(const CheckArgs& args) {
  int status = kExitOk;
  for (const std::string& path : args.files) {
    const std::vector<CheckProblem> problems = CheckModelFile(path);
    std::size_t errors = 0;
    for (const CheckProblem& p : problems) errors += p.level == CheckLevel::Error ? 1 : 0;
    if (errors > 0) status = kExitFailure;
    WriteOutput(args.bJson ? AsJson(path, problems, errors) : AsText(path, problems, errors));
  }
  return status;
}

}  // namespace

void AddCheckCommand(CLI::App& app, int& exitCode) {
  const auto [cmd, args] = AddSubcommand<CheckArgs>(
      app, "check", "List every problem of models and of the textures beside them");
  cmd.add_option("FILES", args->files, "Model files")->required();
  cmd.add_flag("--json", args->bJson, "One JSON object per file, a line each");
  cmd.footer(
      "Errors: the reader's refusal, polygons whose material matches none, texture files that\n"
      "are missing or cannot be read, sub-objects whose index ranges overlap or leave polygons\n"
      "unplaced. Warnings: materials no polygon uses, polygons with fewer than 3 corners or a\n"
      "vertex twice, textures larger than 256 pixels or not a power of two a side, names that\n"
      "fill their whole field, face normals that point against the polygon's winding.\n"
      "Exit status 1 when any file has an error; warnings alone give 0.");
  cmd.callback([args, &exitCode] { exitCode = RunCheck(*args); });
}
