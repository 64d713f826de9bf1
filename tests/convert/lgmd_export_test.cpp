#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "convert/lgmd_export.h"
#include "lgmd_builder/lgmd_builder.h"
#include "model/lgmd_writer.h"
#include "model/model.h"
#include "support/full_model.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// The full model names fabric.mip and t_glass.mip; only the first is there,
// spelt in capitals as texture sets often are. Into another folder the
// copy goes along under the name it has (where the file system ignores
// case, the model's spelling already finds it, and the copy takes that
// name); into the model's own folder nothing but the model is written.
TEST(LgmdExport, CopiesTheTexturesThatAreThereIntoAnotherFolder) {
  ScopedTempDir dir;
  fs::create_directory(dir.path() / "models");
  fs::create_directory(dir.path() / "out");
  const std::string model = dir.File("models/full.bin");
  const Bytes file = lgmd::Build(lgmd::FullModel());
  const Bytes texture = lgmd::BuildMip(2, 2, {1, 2, 3, 4}, 20);
  ASSERT_TRUE(lgmd::WriteFile(model, file));
  ASSERT_TRUE(lgmd::WriteFile(dir.File("models/FABRIC.MIP"), texture));

  CModel read;
  ASSERT_TRUE(read.ReadFromMemory(file.data(), file.size()).ok());
  Bytes resave;
  ASSERT_TRUE(WriteLgmd(read, resave).ok());

  const std::string copied =
      fs::exists(dir.path() / "models/fabric.mip") ? "out/fabric.mip" : "out/FABRIC.MIP";
  struct Case {
    std::string out;
    std::vector<std::string> paths;
  };
  const Case cases[] = {
      {dir.File("out/copy.bin"), {dir.File(copied), dir.File("out/copy.bin")}},
      {dir.File("models/copy.bin"), {dir.File("models/copy.bin")}},
      {dir.File("models/../models/copy.bin"), {dir.File("models/../models/copy.bin")}},
  };
  for (const Case& c : cases) {
    std::vector<safewrite::OutputFile> files;
    const BuildResult built = BuildLgmdExport(model, c.out, files);
    ASSERT_TRUE(built.Ok()) << built.reason;
    std::vector<std::string> paths;
    for (const auto& f : files) paths.push_back(f.path);
    EXPECT_EQ(paths, c.paths) << c.out;
    EXPECT_TRUE(files.back().bytes == resave) << c.out;
    if (files.size() == 2) {
      EXPECT_TRUE(files[0].bytes == texture);
    }
  }

  std::vector<safewrite::OutputFile> files;
  const BuildResult built =
      BuildLgmdExport(dir.File("models/absent.bin"), dir.File("out/x.bin"), files);
  EXPECT_EQ(built.status, BuildStatus::kCannotReadModel);
  EXPECT_NE(built.reason.find("cannot read model"), std::string::npos) << built.reason;
}

}  // namespace
