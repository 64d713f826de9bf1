// The directory of a model's path, and whether an output is the model file
// itself however it is named.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "io/output_plan.h"
#include "io/path_parts.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(PathParts, DirectoryIsCutAtTheLastSlashOnly) {
  const struct {
    const char* path;
    const char* dir;
  } cases[] = {
      {"/home/me/models/plane.bin", "/home/me/models"},
      {"/home/me/a\\b.bin", "/home/me"},  // '\' is part of the name here
      {"/home/me\\models/plane.bin", "/home/me\\models"},
      {"/plane.bin", "/"},  // a file directly in the root
      {"plane.bin", "."},
      {"models/plane.bin", "models"},
  };
  for (const auto& c : cases) EXPECT_EQ(DirectoryOf(c.path), c.dir) << c.path;
}

TEST(OutputPlan, KnowsAModelByTheFileNotTheName) {
  ScopedTempDir dir;
  const std::string model = dir.File("plane.bin");
  std::ofstream(model) << "model";
  std::ofstream(dir.File("copy.bin")) << "model";
  fs::create_symlink(model, dir.File("link.bin"));
  ASSERT_EQ(link(model.c_str(), dir.File("hard.bin").c_str()), 0);
  const struct {
    std::string path;
    bool refused;
  } cases[] = {
      {model, true},
      {dir.File("link.bin"), true},
      {dir.File("hard.bin"), true},
      {dir.path().string() + "/./plane.bin", true},
      {dir.File("copy.bin"), false},  // equal bytes, another file
      {dir.File("absent.bin"), false},
  };
  for (const auto& c : cases) {
    output::COutputPlan plan("the model being exported");
    const output::PlanCheck check = plan.Claim(model, {dir.File("out.png"), c.path});
    EXPECT_EQ(!check.Ok(), c.refused) << c.path;
    if (c.refused) {
      EXPECT_EQ(check.path, c.path);
    }
  }
}

// A job's files are known by their place, so a file an earlier job of the
// run has written by now is still its file, under any spelling.
TEST(OutputPlan, KnowsWhatTheRunHasWrittenAlready) {
  ScopedTempDir dir;
  const std::string a = dir.File("a.bin");
  const std::string b = dir.File("b.bin");
  output::COutputPlan plan("the model being exported");
  plan.AddInput(a);
  plan.AddInput(b);
  ASSERT_TRUE(plan.Claim(a, {dir.File("a.wing.png")}).Ok());
  std::ofstream(dir.File("a.wing.png")) << "written";
  const output::PlanCheck check = plan.Claim(b, {dir.path().string() + "/./a.wing.png"});
  EXPECT_EQ(check.conflict, output::Conflict::kPlannedTwice);
  EXPECT_EQ(check.other, a);
}

}  // namespace
