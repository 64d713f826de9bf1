// Placeholder until the command is written; it only refuses.
#include <CLI/CLI.hpp>

#include <cstdio>

#include "cli/commands.h"

void AddExportCommand(CLI::App& app, int& exitCode) {
  CLI::App* cmd = app.add_subcommand("export", "not available yet");
  cmd->allow_extras();
  cmd->callback([&exitCode] {
    std::fputs("zorvik: export is not available yet\n", stderr);
    exitCode = kExitFailure;
  });
}
