// Every mouse and keyboard control of the viewer, in one table: Help >
// Controls shows it, and the README's "Using the viewer" table is this
// table in Markdown (a test keeps the two the same). Texts are written as
// the README writes them, `code` in backticks.
#pragma once

#include <span>
#include <string>

struct ControlRow {
  const char* input;
  const char* action;
};

std::span<const ControlRow> ViewerControls();

// A cell as the window shows it: the backticks of code left out.
std::string PlainControlText(const char* markdown);
