// Placeholder until the command is written; it only refuses.
#include <CLI/CLI.hpp>

#include <cstdio>

#include "cli/commands.h"

void AddInfoCommand(CLI::App& app, int& exitCode) {
  CLI::App* cmd = app.add_subcommand("info", "not available yet");
  cmd->allow_extras();
  cmd->callback([&exitCode] {
    std::fputs("zorvik: info is not available yet\n", stderr);
    exitCode = kExitFailure;
  });
}
