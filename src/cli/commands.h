// The headless commands: `zorvik info`, `zorvik export`, `zorvik render`,
// `zorvik texture`, `zorvik check`, `zorvik import` and `zorvik --version`. They need no display.
#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
}  // namespace CLI

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// What the program's arguments ask for, decided before anything is loaded:
// a command (or --help, --version), the window, or nothing at all because
// the arguments are wrong.
struct Invocation {
  enum class Kind { Command, Viewer, UsageError };
  Kind kind = Kind::Viewer;
  // Command: the arguments for RunCli. Viewer: the program and at most
  // one model, written so the toolkit never takes it for an option.
  std::vector<std::string> args;
  // UsageError: the message, "zorvik: " and the hint to --help included.
  std::string error;
};

// Sorts argv the GNU way: an argument that starts with '-' is an option
// until "--", and the window knows only --help and --version.
Invocation ParseInvocation(int argc, char** argv);

// Parses argv and runs the command; returns the exit status.
int RunCli(int argc, char** argv);

// Each command registers its subcommand; the callback stores its exit
// status in exitCode.
void AddInfoCommand(CLI::App& app, int& exitCode);
void AddExportCommand(CLI::App& app, int& exitCode);
void AddRenderCommand(CLI::App& app, int& exitCode);
void AddTextureCommand(CLI::App& app, int& exitCode);
void AddCheckCommand(CLI::App& app, int& exitCode);
void AddImportCommand(CLI::App& app, int& exitCode);

// The --palette option, worded alike in every command that draws or
// converts colours; more, when given, says what the palette does there.
CLI::Option* AddPaletteOption(CLI::App& cmd, int& palette, const std::string& more = {});
// The same, taken as written, for a command that checks the number itself.
CLI::Option* AddPaletteOption(CLI::App& cmd, std::string& palette);
