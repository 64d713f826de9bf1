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
  // The program's largest resident set in KiB, as the kernel accounted it
  // (an upper bound: it includes the test process the program started from).
  long peakKiB = 0;
};

// argv[0] is the program's path; no shell is involved.
RunResult RunProgram(const std::vector<std::string>& argv);
