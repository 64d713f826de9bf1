// The directory of a model's path, and whether an output is the model file
// itself.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "model/path_parts.h"
#include "model/same_file.h"
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

TEST(SameFile, GoesByTheFileNotTheName) {
  ScopedTempDir dir;
  const std::string model = dir.File("plane.bin");
  std::ofstream(model) << "model";
  std::ofstream(dir.File("copy.bin")) << "model";
  fs::create_symlink(model, dir.File("link.bin"));
  ASSERT_EQ(link(model.c_str(), dir.File("hard.bin").c_str()), 0);
  const struct {
    std::string path;
    bool same;
  } cases[] = {
      {model, true},
      {dir.File("link.bin"), true},
      {dir.File("hard.bin"), true},
      {dir.path().string() + "/./plane.bin", true},
      {dir.File("copy.bin"), false},  // equal bytes, another file
      {dir.File("absent.bin"), false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSameFile(c.path, model), c.same) << c.path;
  EXPECT_FALSE(IsSameFile(model, ""));

  const std::vector<safewrite::OutputFile> files = {{dir.File("out.png"), {}},
                                                    {dir.File("hard.bin"), {}}};
  ASSERT_NE(FindFileOverModel(files, model), nullptr);
  EXPECT_EQ(FindFileOverModel(files, model)->path, dir.File("hard.bin"));
  EXPECT_EQ(FindFileOverModel(files, dir.File("copy.bin")), nullptr);
}

}  // namespace
