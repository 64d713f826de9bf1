#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "platform/stderr_platform.h"
#include "zorvik_version.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr std::string_view kCommands[] = {"info", "export", "render", "texture", "check", "import"};

// The end of every usage error: where to read how it is done.
std::string UsageError(const std::string& text, const std::string& command = {}) {
  const std::string help = command.empty() ? "zorvik --help" : "zorvik " + command + " --help";
  return "zorvik: " + text + "\nTry '" + help + "' for more information.\n";
}

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

#ifdef _WIN32
// Which of the two Windows programs this is, read from its own header: the
// console program prints where it was typed, the window's program has no
// console to print to.
std::string WindowsProgramNote() {
  const auto* base = reinterpret_cast<const unsigned char*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI) {
    return "This is zorvik.com, the console program: commands print here. "
           "zorvik.exe opens the viewer without a console window.";
  }
  return "This is zorvik.exe, the viewer's program: it has no console, so a command prints only "
         "into a file its output is sent to. Type commands as zorvik (cmd.exe runs zorvik.com).";
}
#endif

}  // namespace

namespace {
constexpr const char* kPaletteHelp = "1 Seattle, any other integer San Francisco (default 0)";
}  // namespace

CLI::Option* AddPaletteOption(CLI::App& cmd, int& palette, const std::string& more) {
  return cmd.add_option("--palette", palette, kPaletteHelp + more);
}

CLI::Option* AddPaletteOption(CLI::App& cmd, std::string& palette) {
  return cmd.add_option("--palette", palette, kPaletteHelp);
}

Invocation ParseInvocation(int argc, char** argv) {
  const std::string program = argc > 0 ? argv[0] : "zorvik";
  Invocation result;
  if (argc > 1 &&
      std::find(std::begin(kCommands), std::end(kCommands), argv[1]) != std::end(kCommands)) {
    result.kind = Invocation::Kind::Command;
    result.args.assign(argv, argv + argc);
    return result;
  }
  std::vector<std::string> files;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (options && arg == "--") {
      options = false;
    } else if (!options || arg.size() < 2 || arg[0] != '-') {
      files.push_back(arg);
    } else if (arg == "--help" || arg == "-h" || arg == "--version") {
      result.kind = Invocation::Kind::Command;
      result.args = {program, arg};
      return result;
    } else {
      result.kind = Invocation::Kind::UsageError;
      result.error = UsageError("unknown option '" + arg + "'");
      return result;
    }
  }
  if (files.size() > 1) {
    result.kind = Invocation::Kind::UsageError;
    result.error = UsageError("extra operand '" + files[1] + "': the window opens one model");
    return result;
  }
  result.kind = Invocation::Kind::Viewer;
  result.args = {program};
  if (!files.empty()) {
    // The toolkit reads options of its own from the command line; a model
    // whose name starts with a dash is handed over as a full path, which it
    // cannot take for one.
    const std::string& file = files.front();
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(file, error);
    result.args.push_back(file[0] != '-' ? file : error ? "./" + file : full.string());
  }
  return result;
}

int RunCli(int argc, char** argv) {
  // The document reports through the platform layer; with no window to
  // show a box in, its messages go to stderr.
  static platform::StderrPlatform stderrPlatform;
  platform::SetCurrent(&stderrPlatform);

  CLI::App app{"Zorvik, a viewer for LGMD flight simulator models", "zorvik"};
  app.formatter(std::make_shared<ZorvikHelpFormatter>());
  app.require_subcommand(0, 1);
  // A path such as /tmp/out.glb is a file on every system, never an option
  // (the parser's default on Windows takes '/' for an option's mark).
  app.allow_windows_style_options(false);
  bool showVersion = false;
  app.add_flag("--version", showVersion, "Print the version and exit");
  // Every usage error names the program first, as GNU tools do, and points
  // to the help of the command it concerns.
  app.failure_message([](const CLI::App* parser, const CLI::Error& e) {
    const auto chosen = parser->get_subcommands();
    return UsageError(e.what(), chosen.empty() ? std::string() : chosen.front()->get_name());
  });

  int exitCode = kExitOk;
  AddInfoCommand(app, exitCode);
  AddExportCommand(app, exitCode);
  AddRenderCommand(app, exitCode);
  AddTextureCommand(app, exitCode);
  AddCheckCommand(app, exitCode);
  AddImportCommand(app, exitCode);
  // After the commands, which would inherit it.
  std::string footer = "A model whose name starts with a dash follows \"--\": zorvik -- -plane.bin";
#ifdef _WIN32
  footer += "\n" + WindowsProgramNote();
#endif
  app.footer(footer);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int status = app.exit(e);
    return status == 0 ? kExitOk : kExitUsage;
  }
  if (showVersion) {
    WriteOutput(std::string("zorvik ") + kProgramVersion + "\n");
    return kExitOk;
  }
  if (app.get_subcommands().empty()) {
    std::fputs(app.help().c_str(), stderr);
    return kExitUsage;
  }
  return exitCode;
}
