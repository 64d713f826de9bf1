#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/console.h"
#include "platform/stderr_platform.h"

namespace {

constexpr const char* kVersionRecord = "2.0.0.0";

// The program's own help names the window's form first, which the parser
// knows nothing of (a file name is no command); the commands keep the
// parser's usage lines.
class ZorvikHelpFormatter : public CLI::Formatter {
 public:
  std::string make_usage(const CLI::App* app, std::string name) const override {
    if (app->get_parent() != nullptr) return CLI::Formatter::make_usage(app, std::move(name));
    return "Usage: zorvik [FILE.bin]             open the viewer, with the model if one is named\n"
           "       zorvik COMMAND [OPTIONS] ...  run a command without a display (see below)\n"
           "       zorvik COMMAND --help         the options of a command\n";
  }
};

}  // namespace

bool IsCliInvocation(int argc, char** argv) {
  if (argc < 2) return false;
  const std::string_view first = argv[1];
  return first == "info" || first == "export" || first == "render" || first == "texture" ||
         first == "check" || first == "--version" || first == "--help" || first == "-h";
}

int RunCli(int argc, char** argv) {
  // The document reports through the platform layer; with no window to
  // show a box in, its messages go to stderr.
  static platform::StderrPlatform stderrPlatform;
  platform::SetCurrent(&stderrPlatform);

  CLI::App app{"Zorvik, a viewer for LGMD flight simulator models", "zorvik"};
  app.formatter(std::make_shared<ZorvikHelpFormatter>());
  app.require_subcommand(0, 1);
  bool showVersion = false;
  app.add_flag("--version", showVersion, "Print the version and exit");

  int exitCode = kExitOk;
  AddInfoCommand(app, exitCode);
  AddExportCommand(app, exitCode);
  AddRenderCommand(app, exitCode);
  AddTextureCommand(app, exitCode);
  AddCheckCommand(app, exitCode);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int status = app.exit(e);
    return status == 0 ? kExitOk : kExitUsage;
  }
  if (showVersion) {
    WriteOutput(std::string(kVersionRecord) + "\n");
    return kExitOk;
  }
  if (app.get_subcommands().empty()) {
    std::fputs(app.help().c_str(), stderr);
    return kExitUsage;
  }
  return exitCode;
}
