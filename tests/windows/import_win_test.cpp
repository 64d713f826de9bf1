// The import in the Windows program, run under Wine: the worker beside
// the program reads a textured glTF from a folder whose name is beyond
// ASCII, its refusal reaches the user as one clean line, and a worker that
// crashes is named by its exception.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "doc/foreign_import.h"
#include "io/system_path.h"
#include "model/model.h"
#include "platform/posix_paths.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(ImportWin, TheWorkerBesideTheProgramReadsAndRefusesAndIsNamedWhenItCrashes) {
  CModel palette;
  ASSERT_TRUE(
      palette.LoadPalette(std::string(ZORVIK_SOURCE_DIR) + "/samples/palettes/sanfran.pal").ok());
  ScopedTempDir dir;
  const fs::path folder = dir.path() / syspath::FromUtf8("Zoë");
  fs::create_directory(folder);
  fs::copy(fs::path("/usr/share/assimp/models/glTF2/BoxTextured-glTF"), folder);
  std::ofstream(folder / "broken.gltf") << "{ this is not JSON";
  std::ofstream(folder / "crash") << "the helper crashes on any file of this name";
  const std::string helper = platform::ExecutableDirectory() + "zorvik_child_helper.exe";

  const struct {
    const char* file;
    std::string worker;  // empty: the one beside the program
    bool ok;
    std::string reason;  // what the reason starts with
  } cases[] = {
      {"BoxTextured.gltf", "", true, ""},
      {"broken.gltf", "", false, ""},
      {"crash", helper, false, "the importer stopped (exception 0xC0000005)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    ImportOptions options;
    options.name = "box";
    ImportedModel imported;
    const ImportResult result = ImportForeignModel(syspath::ToUtf8(folder / c.file), options,
                                                   palette.Palette(), imported, c.worker);
    EXPECT_EQ(result.Ok(), c.ok) << result.reason;
    EXPECT_EQ(result.reason.substr(0, c.reason.size()), c.reason);
    // One line, without the carriage return a text-mode stream would add.
    EXPECT_EQ(result.reason.find_first_of("\r\n"), std::string::npos);
    if (c.ok) {
      ASSERT_EQ(imported.textures.size(), 1u);
      EXPECT_EQ(imported.textures[0].fileName, "Texture.mip");
    } else {
      EXPECT_FALSE(result.reason.empty());
    }
  }
}

}  // namespace
