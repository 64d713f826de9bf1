// The headless commands: `zorvik info`, `zorvik export`, `zorvik render`,
// `zorvik texture`, `zorvik check` and `zorvik --version`. They need no display.
#pragma once

namespace CLI {
class App;
}

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// True when argv names a headless command rather than the viewer.
bool IsCliInvocation(int argc, char** argv);

// Parses argv and runs the command; returns the exit status.
int RunCli(int argc, char** argv);

// Each command registers its subcommand; the callback stores its exit
// status in exitCode.
void AddInfoCommand(CLI::App& app, int& exitCode);
void AddExportCommand(CLI::App& app, int& exitCode);
void AddRenderCommand(CLI::App& app, int& exitCode);
void AddTextureCommand(CLI::App& app, int& exitCode);
void AddCheckCommand(CLI::App& app, int& exitCode);
