// The table both systems' runner tests go through: a child started with
// each case's arguments ends as the case says, and one past its clock or
// its output limit is stopped in a moment rather than waited for.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/child_process.h"

struct ChildEnding {
  std::vector<std::string> args;
  platform::ChildStatus status;
  int code;  // exit status, or the signal or exception of kSignalled
  std::string out;
  std::string err;
};

inline void ExpectEndings(const std::string& program, const std::vector<ChildEnding>& cases) {
  platform::ChildLimits limits;
  limits.deadline = std::chrono::milliseconds(1500);
  limits.maxOutput = 4096;
  for (const ChildEnding& c : cases) {
    SCOPED_TRACE(c.args.back());
    const auto start = std::chrono::steady_clock::now();
    const platform::ChildResult result = platform::RunChild(program, c.args, limits);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(result.status, c.status);
    const bool signalled = c.status == platform::ChildStatus::kSignalled;
    EXPECT_EQ(signalled ? result.signal : result.exitCode, c.code);
    if (c.status == platform::ChildStatus::kExited) {
      EXPECT_EQ(std::string(result.out.begin(), result.out.end()), c.out);
      EXPECT_EQ(result.err, c.err);
    }
  }
  const platform::ChildResult missing = platform::RunChild(program + ".missing", {}, limits);
  EXPECT_EQ(missing.status, platform::ChildStatus::kCannotStart);
  EXPECT_EQ(missing.reason, "No such file or directory");
}
