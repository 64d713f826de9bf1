// The child-process runner the import worker goes through: what it
// reports for each way a child can end, and that a child past its clock
// or its output limit is stopped rather than waited for.
#include <gtest/gtest.h>

#include "platform/child_process.h"
#include "support/child_endings.h"

namespace {

using platform::ChildStatus;

TEST(ChildProcess, ReportsEachWayAChildEnds) {
  auto sh = [](const char* script) { return std::vector<std::string>{"-c", script}; };
  ExpectEndings(
      "/bin/sh",
      {
          {sh("printf model; exit 0"), ChildStatus::kExited, 0, "model", ""},
          {sh("echo reason >&2; exit 3"), ChildStatus::kExited, 3, "", "reason\n"},
          {sh("kill -SEGV $$"), ChildStatus::kSignalled, 11, "", ""},
          // Only its own processor-time limit sends it.
          {sh("kill -XCPU $$"), ChildStatus::kCpuTime, 0, "", ""},
          {sh("exec sleep 30"), ChildStatus::kTimedOut, 0, "", ""},
          {sh("head -c 5000 /dev/zero; exec sleep 30"), ChildStatus::kTooMuchOutput, 0, "", ""},
          // No input to wait for.
          {sh("read line; echo \"[$line]\""), ChildStatus::kExited, 0, "[]\n", ""},
      });
}

TEST(ChildProcess, NamesASignalAsASignal) {
  platform::ChildResult result;
  result.status = ChildStatus::kSignalled;
  result.signal = 11;
  EXPECT_EQ(platform::AbnormalEnd(result), "signal 11");
}

}  // namespace
