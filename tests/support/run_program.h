// Runs a program to its end and keeps what it wrote, for tests of the
// headless commands.
#pragma once

#include <string>
#include <vector>

struct RunResult {
  // The exit status, or -1 when the program could not be started or was
  // ended by a signal.
  int exitCode = -1;
  std::string out;
  std::string err;
};

// argv[0] is the program's path; no shell is involved.
RunResult RunProgram(const std::vector<std::string>& argv);
