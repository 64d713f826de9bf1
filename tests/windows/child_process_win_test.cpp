// The Windows side of the child-process runner, run under Wine: each way
// a child ends as the import reads it, arguments that reach the child as
// they were given, and the job's limits.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/child_process.h"
#include "platform/posix_paths.h"
#include "support/child_endings.h"

namespace {

using platform::ChildStatus;

const std::string kHelper = platform::ExecutableDirectory() + "zorvik_child_helper.exe";

bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(ChildProcessWin, ReportsEachWayAChildEnds) {
  ExpectEndings(
      kHelper,
      {
          {{"exit", "0"}, ChildStatus::kExited, 0, "model", "reason\n"},
          {{"exit", "3"}, ChildStatus::kExited, 3, "model", "reason\n"},
          {{"crash"}, ChildStatus::kSignalled, static_cast<int>(0xC0000005), "", ""},
          {{"sleep"}, ChildStatus::kTimedOut, 0, "", ""},
          {{"flood"}, ChildStatus::kTooMuchOutput, 0, "", ""},
          {{"input"}, ChildStatus::kExited, 0, "[]", ""},  // no input to wait for
          // Blanks, quotes, an empty argument, backslashes before a quote
          // and at the end, a name beyond ASCII: each comes back as it went.
          {{"args", "plain", "two words", "", "say \"hi\"", "back\\", "a\\\\\"b", "C:\\Zoë\\a b\\"},
           ChildStatus::kExited,
           0,
           "[plain][two words][][say \"hi\"][back\\][a\\\\\"b][C:\\Zoë\\a b\\]",
           ""},
      });
}

TEST(ChildProcessWin, NamesACrashByItsException) {
  platform::ChildResult result;
  result.status = ChildStatus::kSignalled;
  result.signal = static_cast<int>(0xC0000005);
  EXPECT_EQ(platform::AbnormalEnd(result), "exception 0xC0000005");
}

TEST(ChildProcessWin, TheJobHoldsTheChildToItsMemoryAndProcessorTime) {
  if (UnderWine()) {
    GTEST_SKIP() << "Wine does not enforce a job's memory and processor-time limits";
  }
  platform::ChildLimits limits;
  limits.deadline = std::chrono::seconds(15);
  limits.memory = std::uint64_t{1} << 30;
  limits.processorTime = std::chrono::seconds(1);
  const platform::ChildResult memory = platform::RunChild(kHelper, {"memory"}, limits);
  EXPECT_EQ(memory.status, ChildStatus::kExited);
  EXPECT_EQ(memory.exitCode, 5);  // refused
  const auto start = std::chrono::steady_clock::now();
  const platform::ChildResult spin = platform::RunChild(kHelper, {"spin"}, limits);
  EXPECT_EQ(spin.status, ChildStatus::kCpuTime);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

}  // namespace
