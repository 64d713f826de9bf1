// The text of "zorvik.cfg", read from memory: the document's LoadConfig
// takes the file's bytes and applies what this finds, and the fuzz target
// feeds it any text at all.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The settings a configuration text supplies; a setting whose item could
// not be read stays empty and the document keeps its own value.
struct ConfigValues {
  std::optional<int> palette;
  std::optional<double> red;
  std::optional<double> green;
  std::optional<double> blue;
  // The last directory, decoded; empty when the file says "-" (none). An
  // unreadable item gives the empty string, which the caller tries as a
  // directory like any other.
  std::optional<std::string> lastOpenDir;
};

ConfigValues ParseConfigText(std::string_view text);
