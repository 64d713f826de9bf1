// Running a helper program of our own as a child process and taking what
// it writes, with a clock on it. The one place that starts processes: a
// port adds its own version of this file.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class ChildStatus {
  kExited,         // ended by itself; see exitCode
  kCannotStart,    // the program could not be started (reason says why)
  kSignalled,      // stopped abnormally; see signal
  kTimedOut,       // still running at the deadline, and killed
  kTooMuchOutput,  // wrote more than it may, and killed
  kCpuTime         // used up the processor time it may have
};

struct ChildResult {
  ChildStatus status = ChildStatus::kExited;
  int exitCode = 0;
  // kSignalled: the signal (POSIX), or the exception Windows stopped the
  // child with (its exit code, 0xC0000005 and the like).
  int signal = 0;
  std::string reason;             // kCannotStart: the system's words
  std::vector<std::uint8_t> out;  // standard output
  std::string err;                // standard error, its first kilobytes
};

struct ChildLimits {
  std::chrono::milliseconds deadline{60000};
  std::size_t maxOutput = std::size_t{1} << 30;
  // What the child's process may use; 0 for no limit. Windows puts these
  // on the job the child runs in. POSIX has no way to set them for a
  // spawned child, so a child there sets them on itself (the import worker
  // does, from the same numbers) and these are not looked at.
  std::uint64_t memory = 0;
  std::chrono::seconds processorTime{0};
};

// Runs program with args (argv[1] onwards), standard input from /dev/null
// (NUL), collecting both output streams until it ends or a limit is
// reached; a child past a limit is killed and reaped before this returns.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const ChildLimits& limits);

// How a kSignalled child stopped, in a few words: "signal 11" on POSIX,
// "exception 0xC0000005" on Windows.
std::string AbnormalEnd(const ChildResult& result);

// The full path of a helper program of ours: beside the executable (a
// build tree, an unpacked folder), else in the installed module folder.
// Empty when neither holds it.
std::string HelperProgramPath(const char* name);

}  // namespace platform
