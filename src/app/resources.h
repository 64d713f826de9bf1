// The program's texts: the prompts and tooltips of every command, the
// status-bar texts and the window titles, kept in one place.
#pragma once

#include <string>

inline constexpr const char* kAppTitle = "Zorvik";
inline constexpr const char* kVendorName = "Zorvik";
// The message pane while nothing is pointed at.
inline constexpr const char* kIdleMessage = "Ready";
// The lock indicators, shown while the lock is on.
inline constexpr const char* kCapsIndicator = "CAP";
inline constexpr const char* kNumIndicator = "NUM";
inline constexpr const char* kScrollIndicator = "SCRL";

// The part of a command's prompt shown in the status bar (before the
// newline) and the part shown as its tooltip (after it; empty when none).
std::string CommandPrompt(int id);
std::string CommandTooltip(int id);
