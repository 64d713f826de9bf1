// Nothing a user has is overwritten: every command lists the files it will
// write before it writes one, and refuses those that would replace a model,
// another input of the run or a file the run writes already. Run as a user
// runs the program, on folders as users have them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/export_examples.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::string kZorvik = std::string(ZORVIK_BINARY_DIR) + "/zorvik";

// Every file under dir with its content, links as "-> target".
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    const std::string name = fs::relative(entry.path(), dir).string();
    if (entry.is_symlink()) {
      files[name] = "-> " + fs::read_symlink(entry.path()).string();
    } else if (entry.is_regular_file()) {
      files[name] = ReadWholeFile(entry.path().string());
    }
  }
  return files;
}

TEST(OutputPlan, NoCommandReplacesAModelOrAnInputOfItsRun) {
  struct Case {
    std::string name;
    std::vector<std::string> models;                         // made as LGMD models
    std::vector<std::pair<std::string, std::string>> links;  // name -> target
    std::vector<std::string> args;                           // "%/" is the test's folder
    std::string message;                                     // "%/" as well
    bool writesSomething;
  };
  const std::vector<Case> cases = {
      {"render onto its model",
       {"m.bin"},
       {},
       {"render", "%/m.bin", "%/m.bin"},
       "zorvik: not writing %/m.bin: it is the model being rendered\n",
       false},
      {"render onto a link to its model",
       {"m.bin"},
       {{"view.png", "m.bin"}},
       {"render", "%/m.bin", "%/view.png"},
       "zorvik: not writing %/view.png: it is the model being rendered (%/m.bin)\n",
       false},
      {"batch render of a model named like its picture",
       {"out/plane.png"},
       {},
       {"render", "--out-dir", "%/out", "%/out/plane.png"},
       "zorvik: not writing %/out/plane.png: it is the model being rendered\n",
       false},
      {"batch render onto a later input",
       {"a/x.bin", "out/x.png"},
       {},
       {"render", "--out-dir", "%/out", "%/a/x.bin", "%/out/x.png"},
       "zorvik: not writing %/out/x.png: it is the model %/out/x.png, which this run reads\n",
       false},
      {"batch export onto a later input",
       {"a/x.bin", "out/x.cob"},
       {},
       {"export", "--format", "cob", "--out-dir", "%/out", "%/a/x.bin", "%/out/x.cob"},
       "zorvik: not writing %/out/x.cob: it is the model %/out/x.cob, which this run reads\n",
       false},
      {"batch material library onto a later input",
       {"a/x.bin", "out/x.mtl"},
       {},
       {"export", "--format", "obj", "--out-dir", "%/out", "%/a/x.bin", "%/out/x.mtl"},
       "zorvik: not writing %/out/x.mtl: it is the model %/out/x.mtl, which this run reads\n",
       false},
      {"batch glTF buffer onto a later input",
       {"a/x.bin", "out/x_geometry.bin"},
       {},
       {"export", "--format", "gltf", "--out-dir", "%/out", "%/a/x.bin", "%/out/x_geometry.bin"},
       "zorvik: not writing %/out/x_geometry.bin: it is the model %/out/x_geometry.bin, which "
       "this run reads\n",
       true},  // the second model's own export goes ahead
      {"glTF buffer onto a neighbouring model",
       {"plane.bin", "plane_geometry.bin"},
       {},
       {"export", "%/plane.bin", "%/plane.gltf"},
       "zorvik: not writing %/plane_geometry.bin: it is an LGMD model\n",
       false},
      {"material library onto a neighbouring model",
       {"plane.bin", "plane.mtl"},
       {},
       {"export", "%/plane.bin", "%/plane.obj"},
       "zorvik: not writing %/plane.mtl: it is an LGMD model\n",
       false},
      {"two models of one name",
       {"a/x.bin", "b/x.bin"},
       {},
       {"export", "--format", "glb", "--out-dir", "%/out", "%/a/x.bin", "%/b/x.bin"},
       "zorvik: not writing %/out/x.glb: this run writes it already, for %/a/x.bin\n",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedTempDir dir;
    const std::string root = dir.path().string() + "/";
    auto expand = [&](std::string text) {
      for (auto at = text.find("%/"); at != std::string::npos; at = text.find("%/", at)) {
        text.replace(at, 2, root);
      }
      return text;
    };
    for (const std::string& model : c.models) {
      fs::create_directories(fs::path(dir.File(model)).parent_path());
      ASSERT_TRUE(lgmd::WriteFile(dir.File(model), lgmd::Build(lgmd::ExportExampleModel())));
    }
    for (const auto& [name, target] : c.links) fs::create_symlink(target, dir.File(name));
    const auto before = Snapshot(dir.path());

    std::vector<std::string> argv = {kZorvik};
    for (const std::string& arg : c.args) argv.push_back(expand(arg));
    const RunResult run = RunProgram(argv);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(expand(c.message)), std::string::npos) << run.err;

    auto after = Snapshot(dir.path());
    for (const auto& [name, content] : before) {
      EXPECT_EQ(after[name], content) << name << " changed";
    }
    if (!c.writesSomething) {
      EXPECT_EQ(after.size(), before.size()) << "nothing is written";
    }
  }
}

// Model "x" with material "y_z" and model "x_y" with material "z" each get
// a picture of their own texture in one batch.
TEST(OutputPlan, TexturePicturesOfABatchNeverShareAName) {
  ScopedTempDir dir;
  for (const auto& [model, material] : {std::pair{"a/x", "y_z"}, {"b/x_y", "z"}}) {
    lgmd::ModelDesc desc = lgmd::ExportExampleModel();
    desc.materials[1].name = material;
    const fs::path path = dir.File(std::string(model) + ".bin");
    fs::create_directories(path.parent_path());
    ASSERT_TRUE(lgmd::WriteFile(path.string(), lgmd::Build(desc)));
    const std::uint8_t colour = material[0] == 'y' ? 200 : 100;
    ASSERT_TRUE(lgmd::WriteFile((path.parent_path() / material).string() + ".mip",
                                lgmd::BuildMip(4, 4, std::vector<std::uint8_t>(16, colour))));
  }
  const RunResult run = RunProgram({kZorvik, "export", "--format", "obj", "--out-dir",
                                    dir.File("out"), dir.File("a/x.bin"), dir.File("b/x_y.bin")});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  std::vector<std::string> pictures;
  for (const auto& entry : fs::directory_iterator(dir.File("out"))) {
    if (entry.path().extension() == ".png") pictures.push_back(entry.path().filename());
  }
  std::sort(pictures.begin(), pictures.end());
  EXPECT_EQ(pictures, (std::vector<std::string>{"x.y_z.png", "x_y.z.png"}));
  EXPECT_NE(ReadWholeFile(dir.File("out/x.y_z.png")), ReadWholeFile(dir.File("out/x_y.z.png")));
}

// A set that fails part-way puts back every file it had replaced: a name
// too long for the buffer, a material library that leads to a full device.
TEST(OutputPlan, AnExportThatFailsPartWayLeavesTheOlderFiles) {
  ScopedTempDir dir;
  // Long enough that only "<stem>_geometry.bin" passes the limit of 255.
  const std::string stem(243, 's');
  const struct {
    std::string out;
    std::string picture;  // a picture of an earlier export
    std::string message;
  } cases[] = {
      {dir.File(stem + ".gltf"), dir.File(stem + ".skin.png"),
       "Error writing " + dir.File(stem + "_geometry.bin") + ": File name too long"},
      {dir.File("x.obj"), dir.File("x.skin.png"),
       "Error writing " + dir.File("x.mtl") + ": No space left on device"},
  };
  const std::string model = lgmd::WriteExportExample(dir.path().string(), "m");
  fs::create_symlink("/dev/full", dir.File("x.mtl"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.out);
    lgmd::WriteFile(c.picture, {'o', 'l', 'd'});
    const auto before = Snapshot(dir.path());
    const RunResult run = RunProgram({kZorvik, "export", model, c.out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(Snapshot(dir.path()), before);
  }
}

TEST(OutputPlan, ANumberTooSmallIsCalledSo) {
  ScopedTempDir dir;
  const std::string model = lgmd::WriteExportExample(dir.path().string(), "m");
  const RunResult run =
      RunProgram({kZorvik, "render", model, dir.File("m.png"), "--distance", "1e-308"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "zorvik: --distance 1e-308 is too small\n");
}

}  // namespace
