// The fuzzers' starting corpus in fuzz/corpus, made here from the LGMD
// builder and a few texts: well-formed inputs that reach every part of each
// format. The committed files must be exactly what this makes, so the corpus
// cannot drift from the builder unnoticed; after a deliberate change,
// ZORVIK_REFRESH_CORPUS=1 rewrites them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "lgmd_builder/lgmd_builder.h"
#include "model/mip_file.h"
#include "model/model.h"
#include "model/palette_text.h"
#include "support/full_model.h"
#include "support/lgmd_examples.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using lgmd::BuilderPolygon;
using lgmd::ModelDesc;
using Bytes = std::vector<std::uint8_t>;

struct Seed {
  std::string file;  // under fuzz/corpus
  Bytes bytes;
};

Bytes Text(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<Seed> LgmdSeeds() {
  std::vector<Seed> seeds = {{"lgmd/triangle.bin", lgmd::Build(lgmd::TriangleModel())},
                             {"lgmd/full.bin", lgmd::Build(lgmd::FullModel())}};
  for (int version : {3, 5}) {
    ModelDesc desc = lgmd::FullModel();
    desc.version = version;
    seeds.push_back({"lgmd/version" + std::to_string(version) + ".bin", lgmd::Build(desc)});
  }
  // Materials counted in the header but given no records.
  ModelDesc bare;
  bare.vertices = {{1, 2, 3}, {4, 5, 6}};
  bare.normals = {{0, 1, 0}};
  BuilderPolygon line;
  line.vertIdx = {0, 1};
  bare.polygons = {line};
  bare.materialCount = 3;
  seeds.push_back({"lgmd/no_material_records.bin", lgmd::Build(bare)});
  return seeds;
}

std::vector<Seed> OtherSeeds() {
  return {
      {"mip/checker.mip", lgmd::BuildMip(4, 2, {0, 1, 2, 3, 250, 251, 252, 255})},
      {"mip/padded.mip", lgmd::BuildMip(2, 2, {9, 8, 7, 6}, 20)},
      {"mip/one.mip", lgmd::BuildMip(1, 1, {7})},
      {"palette/short.pal", Text("JASC-PAL\n0100\n256\n255 0 0\n0 255 0\n0 0 255\n-1 256 7\n")},
      {"palette/crlf.pal", Text("JASC-PAL\r\n0100\r\n4\r\n1 2 3\r\n4 5 6\r\n+7 08 9")},
      {"config/plain.cfg", Text("Region 1\nBkgndClr 0.5 0.25 1\nLastOpenDir -\n")},
      {"config/escaped.cfg",
       Text("Region 0\r\nBkgndClr 1 1e-3 .5\r\nLastOpenDir /home/a%20b/%25x%2/\r\n")},
  };
}

TEST(FuzzCorpus, CommittedSeedsAreTheBuildersOwn) {
  const fs::path corpus = fs::path(ZORVIK_SOURCE_DIR) / "fuzz" / "corpus";
  const char* refresh = std::getenv("ZORVIK_REFRESH_CORPUS");
  std::vector<Seed> seeds = LgmdSeeds();
  for (Seed& seed : OtherSeeds()) seeds.push_back(std::move(seed));
  for (const Seed& seed : seeds) {
    SCOPED_TRACE(seed.file);
    const fs::path path = corpus / seed.file;
    if (refresh != nullptr && std::string(refresh) == "1") {
      fs::create_directories(path.parent_path());
      ASSERT_TRUE(lgmd::WriteFile(path.string(), seed.bytes));
    }
    const std::string committed = ReadWholeFile(path.string());
    EXPECT_TRUE(committed == std::string(seed.bytes.begin(), seed.bytes.end()))
        << "differs from what the builder makes; ZORVIK_REFRESH_CORPUS=1 rewrites it";
  }
  // Seeds the readers refuse would only start the fuzzers from the front
  // door.
  for (const Seed& seed : LgmdSeeds()) {
    CModel model;
    ReadResult result;
    EXPECT_TRUE((result = model.ReadFromMemory(seed.bytes.data(), seed.bytes.size())).ok())
        << seed.file << ": " << result.Reason();
  }
  const std::vector<PaletteEntry> palette(256, PaletteEntry{1, 2, 3});
  for (const Seed& seed : OtherSeeds()) {
    if (seed.file.rfind("mip/", 0) != 0) continue;
    EXPECT_TRUE(mip::Decode(seed.bytes.data(), seed.bytes.size(), palette, false).ok())
        << seed.file;
  }
}

}  // namespace
