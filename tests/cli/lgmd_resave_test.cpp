// `zorvik export M.bin OUT.bin`: the model saved again as LGMD, run as a
// user runs it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "lgmd_builder/lgmd_builder.h"
#include "support/full_model.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::string kZorvik = std::string(ZORVIK_BINARY_DIR) + "/zorvik";
const std::string kDemo = std::string(ZORVIK_SOURCE_DIR) + "/samples/demo";

RunResult Zorvik(std::vector<std::string> args) {
  args.insert(args.begin(), kZorvik);
  return RunProgram(args);
}

// `info --json --full` of a file, without the line's "file" key.
std::string FullInfo(const std::string& path) {
  const RunResult run = Zorvik({"info", "--json", "--full", path});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return std::regex_replace(run.out, std::regex("\"file\":\"[^\"]*\",?"), "");
}

// The demo saved into another folder takes its textures along: the copy
// reads as the same model, renders the same picture and saved again gives
// the same bytes.
TEST(LgmdResave, DemoSavedElsewhereLooksTheSameAndSavesTheSameAgain) {
  ScopedTempDir dir;
  fs::create_directory(dir.path() / "x");
  fs::create_directory(dir.path() / "y");
  const std::string model = kDemo + "/biplane.bin";
  const std::string copy = dir.File("x/biplane.bin");
  RunResult run = Zorvik({"export", model, copy});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  for (const char* texture : {"Roundel.MIP", "fabric.mip", "t_screen.mip"}) {
    EXPECT_EQ(ReadWholeFile(dir.File(std::string("x/") + texture)),
              ReadWholeFile(kDemo + "/" + texture))
        << texture;
  }
  EXPECT_EQ(FullInfo(copy), FullInfo(model));

  const std::vector<std::string> view = {"--rot", "-25,35,0", "--size", "96x72", "--quiet"};
  for (const auto& [from, picture] :
       {std::pair{model, dir.File("a.png")}, std::pair{copy, dir.File("b.png")}}) {
    std::vector<std::string> args = {"render", from, picture};
    args.insert(args.end(), view.begin(), view.end());
    run = Zorvik(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
  }
  EXPECT_EQ(ReadWholeFile(dir.File("a.png")), ReadWholeFile(dir.File("b.png")));

  ASSERT_EQ(Zorvik({"export", copy, dir.File("y/again.bin")}).exitCode, 0);
  EXPECT_EQ(ReadWholeFile(dir.File("y/again.bin")), ReadWholeFile(copy));
}

// Only the LGMD writer replaces an existing model, and never the one it
// reads, by any name.
TEST(LgmdResave, ReplacesAnotherModelButNeverItsOwn) {
  ScopedTempDir dir;
  const std::string model = dir.File("full.bin");
  ASSERT_TRUE(lgmd::WriteFile(model, lgmd::Build(lgmd::FullModel())));
  const std::string other = dir.File("other.bin");
  ASSERT_TRUE(lgmd::WriteFile(other, lgmd::Build(lgmd::ModelDesc{})));
  fs::create_symlink(model, dir.File("link.bin"));
  ASSERT_TRUE(lgmd::WriteFile(dir.File("FABRIC.MIP"), lgmd::BuildMip(1, 1, {9})));
  const std::string before = ReadWholeFile(model);

  RunResult run = Zorvik({"export", model, other});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadWholeFile(other), before);

  for (const std::string& out : {model, dir.File("link.bin"), dir.File("./full.bin")}) {
    run = Zorvik({"export", model, out});
    EXPECT_EQ(run.exitCode, 1) << out;
    EXPECT_NE(run.err.find("not writing " + out + ": it is the model being exported"),
              std::string::npos)
        << run.err;
  }
  EXPECT_EQ(ReadWholeFile(model), before);

  // Another format's file never replaces a model.
  const std::string notGlb = dir.File("model.glb");
  ASSERT_TRUE(lgmd::WriteFile(notGlb, lgmd::Build(lgmd::ModelDesc{})));
  run = Zorvik({"export", model, notGlb});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("it is an LGMD model"), std::string::npos) << run.err;

  // Both models, now the same, name one texture: it is copied once.
  run = Zorvik({"export", "--format", "bin", "--out-dir", dir.File("batch"), model, other});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadWholeFile(dir.File("batch/full.bin")), before);
  EXPECT_EQ(ReadWholeFile(dir.File("batch/other.bin")), before);
  EXPECT_EQ(ReadWholeFile(dir.File("batch/FABRIC.MIP")), ReadWholeFile(dir.File("FABRIC.MIP")));
  // Saved there again, the texture already there is left alone.
  struct stat first {};
  ASSERT_EQ(stat(dir.File("batch/FABRIC.MIP").c_str(), &first), 0);
  run = Zorvik({"export", "--format", "bin", "--out-dir", dir.File("batch"), model});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  struct stat again {};
  ASSERT_EQ(stat(dir.File("batch/FABRIC.MIP").c_str(), &again), 0);
  EXPECT_EQ(again.st_ino, first.st_ino);
}

}  // namespace
