// The program's texts: the prompts and tooltips of every command, the
// status-bar texts and the window titles, kept as one table in code.
#pragma once

#include <string>

// String numbers that are not command ids.
enum : int {
  AFX_IDS_APP_TITLE = 57344,
  AFX_IDS_IDLEMESSAGE = 57345,
  ID_INDICATOR_CAPS = 59137,
  ID_INDICATOR_NUM = 59138,
  ID_INDICATOR_SCRL = 59139,
  ID_VIEW_BKGND_COLOR_PROMPT = 32778,
};

// The string stored under id; empty when the table holds none.
const char* LoadResString(int id);

// The part of a command's prompt shown in the status bar (before the
// newline) and the part shown as its tooltip (after it; empty when none).
std::string CommandPrompt(int id);
std::string CommandTooltip(int id);

inline constexpr const char* kAppTitle = "Zorvik";
inline constexpr const char* kVersionText = "Zorvik Version 2.0";
