// Registering a subcommand: the parser's entry and the arguments its
// options fill. The arguments are shared with the command's callback, so
// they live as long as the parser may call it.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <string>

template <typename Args>
struct Subcommand {
  CLI::App& cmd;
  std::shared_ptr<Args> args;
};

template <typename Args>
Subcommand<Args> AddSubcommand(CLI::App& app, std::string name, std::string description) {
  return {*app.add_subcommand(std::move(name), std::move(description)), std::make_shared<Args>()};
}
