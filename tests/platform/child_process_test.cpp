// The child-process runner the import worker goes through: what it
// reports for each way a child can end, and that a child past its clock
// or its output limit is stopped rather than waited for.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/child_process.h"

namespace {

using platform::ChildStatus;

TEST(ChildProcess, ReportsEachWayAChildEnds) {
  const struct {
    const char* script;
    ChildStatus status;
    int code;  // exit status or signal
    std::string out;
    std::string err;
  } cases[] = {
      {"printf model; exit 0", ChildStatus::kExited, 0, "model", ""},
      {"echo reason >&2; exit 3", ChildStatus::kExited, 3, "", "reason\n"},
      {"kill -SEGV $$", ChildStatus::kSignalled, 11, "", ""},
      {"kill -XCPU $$", ChildStatus::kCpuTime, 0, "", ""},  // its own processor-time limit
      {"exec sleep 30", ChildStatus::kTimedOut, 0, "", ""},
      {"head -c 5000 /dev/zero; exec sleep 30", ChildStatus::kTooMuchOutput, 0, "", ""},
      {"read line; echo \"[$line]\"", ChildStatus::kExited, 0, "[]\n", ""},  // no input to wait for
  };
  platform::ChildLimits limits;
  limits.deadline = std::chrono::milliseconds(1500);
  limits.maxOutput = 4096;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    const auto start = std::chrono::steady_clock::now();
    const platform::ChildResult result = platform::RunChild("/bin/sh", {"-c", c.script}, limits);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(c.status == ChildStatus::kSignalled ? result.signal : result.exitCode, c.code);
    if (c.status == ChildStatus::kExited) {
      EXPECT_EQ(std::string(result.out.begin(), result.out.end()), c.out);
      EXPECT_EQ(result.err, c.err);
    }
  }
  const platform::ChildResult missing = platform::RunChild("/nonexistent/worker", {}, limits);
  EXPECT_EQ(missing.status, ChildStatus::kCannotStart);
  EXPECT_EQ(missing.reason, "No such file or directory");
}

}  // namespace
