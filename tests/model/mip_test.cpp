// Decoding ".mip" textures and finding them beside the model, without
// OpenGL.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "lgmd_builder/lgmd_builder.h"
#include "model/mip_file.h"
#include "model/model.h"
#include "support/edit_model.h"
#include "support/temp_dir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Entry i stores (i, 2i, 3i) modulo 256 as blue, green, red, so every index
// decodes to a pixel of its own.
std::vector<PaletteEntry> TestPalette() {
  std::vector<PaletteEntry> palette(256);
  for (int i = 0; i < 256; ++i) palette[i] = {i, (2 * i) % 256, (3 * i) % 256};
  return palette;
}

Bytes Pixel(std::uint8_t b, std::uint8_t g, std::uint8_t r, std::uint8_t a) { return {b, g, r, a}; }

Bytes Pixels(std::initializer_list<Bytes> pixels) {
  Bytes all;
  for (const Bytes& p : pixels) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// A header with any pixel data offset, including ones the builder would not
// write.
Bytes RawHeader(std::int32_t offset, std::int16_t width, std::int16_t height) {
  const auto u = static_cast<std::uint32_t>(offset);
  const auto w = static_cast<std::uint16_t>(width);
  const auto h = static_cast<std::uint16_t>(height);
  return {static_cast<std::uint8_t>(u),
          static_cast<std::uint8_t>(u >> 8),
          static_cast<std::uint8_t>(u >> 16),
          static_cast<std::uint8_t>(u >> 24),
          0xAA,
          0xBB,
          0xCC,
          0xDD,
          static_cast<std::uint8_t>(w),
          static_cast<std::uint8_t>(w >> 8),
          static_cast<std::uint8_t>(h),
          static_cast<std::uint8_t>(h >> 8)};
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct DecodeCase {
  const char* name;
  Bytes file;
  bool transparent;
  std::vector<PaletteEntry> palette;
  const char* refusal;  // part of the reason, null when the file decodes
  int width;            // -1: not expected to be reported
  int height;
  Bytes pixels;
};

TEST(MipDecode, DecodesOrRefusesEachFile) {
  const auto palette = TestPalette();
  auto with300 = palette;
  with300[5] = {300, -1, 511};
  const std::vector<PaletteEntry> shortPalette(3, PaletteEntry{9, 9, 9});
  const char* kEnds = "the file ends before";

  const std::vector<DecodeCase> cases = {
      {"index 0 is a hole in a transparent texture", lgmd::BuildMip(2, 1, {0, 5}), true, palette,
       nullptr, 2, 1, Pixels({Pixel(0, 0, 0, 0), Pixel(5, 10, 15, 255)})},
      {"index 0 is opaque otherwise", lgmd::BuildMip(2, 1, {0, 5}), false, palette, nullptr, 2, 1,
       Pixels({Pixel(0, 0, 0, 255), Pixel(5, 10, 15, 255)})},
      {"only index 0 is a hole", lgmd::BuildMip(1, 1, {1}), true, palette, nullptr, 1, 1,
       Pixel(1, 2, 3, 255)},
      {"the low 8 bits of a stored value", lgmd::BuildMip(1, 1, {5}), false, with300, nullptr, 1, 1,
       Pixel(44, 255, 255, 255)},
      {"rows in order, row 0 first", lgmd::BuildMip(2, 2, {1, 2, 3, 255}), false, palette, nullptr,
       2, 2,
       Pixels({Pixel(1, 2, 3, 255), Pixel(2, 4, 6, 255), Pixel(3, 6, 9, 255),
               Pixel(255, 254, 253, 255)})},
      {"bytes between header and pixels are skipped", lgmd::BuildMip(1, 1, {4}, 40), false, palette,
       nullptr, 1, 1, Pixel(4, 8, 12, 255)},
      {"bytes after the pixels are ignored", Concat(lgmd::BuildMip(1, 1, {4}), {1, 2, 3}), false,
       palette, nullptr, 1, 1, Pixel(4, 8, 12, 255)},
      {"indices the palette lacks read black", lgmd::BuildMip(2, 1, {2, 3}), false, shortPalette,
       nullptr, 2, 1, Pixels({Pixel(9, 9, 9, 255), Pixel(0, 0, 0, 255)})},
      {"width 0 is no texture", lgmd::BuildMip(0, 7, {}), false, palette, "empty image", 0, 7, {}},
      {"height 0 is no texture", lgmd::BuildMip(7, 0, {}), false, palette, "empty image", 7, 0, {}},
      {"an empty image far from its data",
       RawHeader(5000, 0, 3),
       false,
       palette,
       "empty image",
       0,
       3,
       {}},
      {"short header", Bytes(11, 0), false, palette, "header", -1, -1, {}},
      {"no bytes at all", Bytes(), false, palette, "header", -1, -1, {}},
      {"pixel data offset at the end", RawHeader(12, 1, 1), false, palette, kEnds, 1, 1, {}},
      {"pixel data offset beyond the end",
       Concat(RawHeader(100, 1, 1), {7}),
       false,
       palette,
       kEnds,
       1,
       1,
       {}},
      {"negative pixel data offset",
       Concat(RawHeader(-4, 1, 1), {7}),
       false,
       palette,
       kEnds,
       1,
       1,
       {}},
      {"pixel data cut short",
       Concat(RawHeader(12, 2, 2), {1, 2, 3}),
       false,
       palette,
       kEnds,
       2,
       2,
       {}},
      {"pixels the file does not hold",
       RawHeader(12, 8192, 8192),
       false,
       palette,
       kEnds,
       8192,
       8192,
       {}},
      // The limit is looked at before the file's size: nothing is allocated.
      {"a side past the limit",
       RawHeader(12, 8193, 1),
       false,
       palette,
       "limit of 8192",
       8193,
       1,
       {}},
      {"huge size in a small file",
       RawHeader(12, 32767, 32767),
       false,
       palette,
       "limit",
       32767,
       32767,
       {}},
      {"negative width",
       Concat(RawHeader(12, -2, 1), {1, 2}),
       false,
       palette,
       "negative",
       -2,
       1,
       {}},
      {"negative height",
       Concat(RawHeader(12, 1, -2), {1, 2}),
       false,
       palette,
       "negative",
       1,
       -2,
       {}},
      {"negative width with height 0", RawHeader(12, -1, 0), false, palette, "negative", -1, 0, {}},
      {"both negative", Concat(RawHeader(12, -1, -1), {1}), false, palette, "negative", -1, -1, {}},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const mip::MipImage image = mip::Decode(c.file.data(), c.file.size(), c.palette, c.transparent);
    if (c.refusal != nullptr) {
      EXPECT_FALSE(image.ok());
      EXPECT_EQ(image.pixels, nullptr);
      EXPECT_NE(image.reason.find(c.refusal), std::string::npos) << image.reason;
      if (c.width != -1 || c.height != -1) {
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
      }
      continue;
    }
    ASSERT_TRUE(image.ok()) << image.reason;
    EXPECT_EQ(image.reason, "");
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.height, c.height);
    EXPECT_EQ(Bytes(image.pixels.get(), image.pixels.get() + c.pixels.size()), c.pixels);
  }
}

TEST(MipFileName, DropsOnlyTheLastExtension) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"wing", "wing.mip"},
      {"wing.bmp", "wing.mip"},
      {"a.b.c", "a.b.mip"},
      {".hidden", ".mip"},
      {"", ".mip"},
      {"T_Glass.MIP", "T_Glass.mip"},
      {"trailing.", "trailing.mip"},
  };
  for (const auto& [material, file] : cases) {
    EXPECT_EQ(mip::FileNameFor(material), file) << material;
  }
}

TEST(ReadMipFile, FillsTheEntryOrLeavesItEmpty) {
  ScopedTempDir dir;
  ASSERT_TRUE(lgmd::WriteFile(dir.File("good.mip"), lgmd::BuildMip(3, 2, {1, 2, 3, 4, 5, 6})));
  ASSERT_TRUE(lgmd::WriteFile(dir.File("cut.mip"), lgmd::BuildMip(3, 2, {1, 2, 3, 4, 5})));
  std::filesystem::create_directory(dir.File("folder.mip"));

  CModel model;
  model.SetPalette(TestPalette());

  TextureEntry good;
  good.bTransparent = true;
  ASSERT_TRUE(model.ReadMipFile(dir.File("good.mip"), good, 3));  // side = limit
  EXPECT_EQ(good.nWidth, 3);
  EXPECT_EQ(good.nHeight, 2);
  ASSERT_NE(good.pPixels, nullptr);
  EXPECT_EQ(Bytes(good.pPixels.get() + 20, good.pPixels.get() + 24), Pixel(6, 12, 18, 255));

  ASSERT_TRUE(lgmd::WriteFile(dir.File("empty.mip"), lgmd::BuildMip(0, 3, {})));
  ASSERT_TRUE(lgmd::WriteFile(dir.File("wide.mip"), lgmd::BuildMip(4, 1, {1, 2, 3, 4})));
  ASSERT_EQ(mkfifo(dir.File("pipe.mip").c_str(), 0600), 0);
  const std::pair<const char*, const char*> bad[] = {
      {"cut.mip", "the file ends before its 3 x 2 pixels"},
      {"absent.mip", "No such file or directory"},
      {"folder.mip", "is a directory"},
      {"pipe.mip", "not a regular file"},  // and the open does not wait for a writer
      {"empty.mip", "an empty image (0 x 3 pixels)"},
      {"wide.mip", "4 x 1 pixels, larger than the limit of 3 pixels a side"},
  };
  for (const auto& [name, reason] : bad) {
    SCOPED_TRACE(name);
    TextureEntry entry;
    entry.nNumber = 12;
    EXPECT_FALSE(model.ReadMipFile(dir.File(name), entry, 3));
    EXPECT_EQ(entry.pPixels, nullptr);
    EXPECT_EQ(entry.nNumber, 12);
    EXPECT_EQ(entry.nWidth, 0);
    EXPECT_EQ(entry.strMissingReason, reason);
  }
}

// Materials as the reader leaves them; kind 0 is textured.
Material MakeMaterial(const std::string& name, int kind, int texNumber, bool transparent = false) {
  Material m;
  m.strName = name;
  m.nKind = kind;
  m.nTexNumber = texNumber;
  m.fColor[3] = transparent ? 0.0f : 1.0f;
  return m;
}

void SetMaterials(CModel& model, const std::vector<Material>& materials) {
  EditContent(model, [&](ModelContent& c) {
    c.m_vecMaterials = materials;
    c.m_nMaterials = static_cast<int>(materials.size());
  });
}

class TextureSetUp : public ::testing::Test {
 protected:
  void SetUp() override { model.SetPalette(TestPalette()); }

  // A texture of width x 1 whose first index tells which file was read.
  void WriteMip(const std::string& name, std::int16_t width, std::uint8_t marker) {
    ASSERT_TRUE(lgmd::WriteFile(
        dir.File(name), lgmd::BuildMip(width, 1, Bytes(static_cast<std::size_t>(width), marker))));
  }

  std::string ModelPath() const { return dir.File("plane.bin"); }

  ScopedTempDir dir;
  CModel model;
};

TEST_F(TextureSetUp, ReadsEachTexturedMaterialInOrder) {
  WriteMip("wing.mip", 4, 10);
  WriteMip("t_glass.mip", 2, 20);
  SetMaterials(model, {MakeMaterial("wing.bmp", 0, 7), MakeMaterial("paint", 1, 0),
                       MakeMaterial("t_glass", 0, 9, true), MakeMaterial("wing", 0, 3)});

  EXPECT_EQ(model.ReadTextureImages(ModelPath()), "");
  ASSERT_EQ(model.Textures().size(), 3u);
  EXPECT_EQ(model.Materials()[0].nTexIndex, 0);
  EXPECT_EQ(model.Materials()[1].nTexIndex, -1);
  EXPECT_EQ(model.Materials()[2].nTexIndex, 1);
  EXPECT_EQ(model.Materials()[3].nTexIndex, 2);

  const struct {
    int number;
    bool transparent;
    int width;
    std::uint8_t marker;
  } expected[] = {{7, false, 4, 10}, {9, true, 2, 20}, {3, false, 4, 10}};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    const TextureEntry& entry = model.Textures()[k];
    EXPECT_EQ(entry.nNumber, expected[k].number);
    EXPECT_EQ(entry.bTransparent, expected[k].transparent);
    EXPECT_EQ(entry.nWidth, expected[k].width);
    EXPECT_EQ(entry.nHeight, 1);
    ASSERT_NE(entry.pPixels, nullptr);
    EXPECT_EQ(entry.pPixels[0], expected[k].marker);
  }
  // The same file named by two materials is decoded once and shared.
  EXPECT_EQ(model.Textures()[0].pPixels.get(), model.Textures()[2].pPixels.get());
}

// One file, named by materials with and without transparency, by another
// case of its name, and once missing: one decode per transparency, and a
// failure shared like an image.
TEST_F(TextureSetUp, DecodesEachFileOncePerTransparency) {
  WriteMip("hull.mip", 2, 0);
  ASSERT_TRUE(lgmd::WriteFile(dir.File("cut.mip"), lgmd::BuildMip(4, 4, {1})));
  SetMaterials(model, {MakeMaterial("hull", 0, 1), MakeMaterial("hull", 0, 2, true),
                       MakeMaterial("HULL.bmp", 0, 3), MakeMaterial("hull", 0, 4, true),
                       MakeMaterial("cut", 0, 5), MakeMaterial("cut.x", 0, 6)});
  EXPECT_EQ(model.ReadTextureImages(ModelPath()), "\r\ncut.mip\r\ncut.mip");
  const auto& t = model.Textures();
  EXPECT_EQ(t[0].pPixels.get(), t[2].pPixels.get());
  EXPECT_EQ(t[1].pPixels.get(), t[3].pPixels.get());
  ASSERT_NE(t[0].pPixels.get(), t[1].pPixels.get());
  EXPECT_EQ(t[0].pPixels[3], 255);  // index 0 stays opaque without transparency
  EXPECT_EQ(t[1].pPixels[3], 0);
  const int numbers[] = {1, 2, 3, 4, -1, -1};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(t[k].nNumber, numbers[k]) << k;
  EXPECT_EQ(t[5].strMissingReason, t[4].strMissingReason);
  EXPECT_EQ(t[2].nWidth, 2);
}

// Names come from the model file: control bytes in them are escaped in the
// list the user sees, and kept as they are for callers that escape them in
// their own way.
TEST_F(TextureSetUp, ListsNamesWithControlBytesEscaped) {
  const std::string clear = "\x1b[2J";
  SetMaterials(model, {MakeMaterial(clear + "a", 0, 1), MakeMaterial("b\r\nc\x9b", 0, 2)});
  EXPECT_EQ(model.ReadTextureImages(ModelPath()), "\r\n\\x1b[2Ja.mip\r\nb\\x0d\\x0ac\\x9b.mip");
  EXPECT_EQ(model.MissingTextureFiles(),
            (std::vector<std::string>{clear + "a.mip", "b\r\nc\x9b.mip"}));
}

TEST_F(TextureSetUp, ListsEveryMissingFileInMaterialOrder) {
  WriteMip("present.mip", 1, 1);
  ASSERT_TRUE(lgmd::WriteFile(dir.File("broken.mip"), Bytes(5, 0)));
  // A file exists where the separator names would lead, so only the refusal
  // to follow them keeps these textures missing.
  std::filesystem::create_directory(dir.File("sub"));
  WriteMip("sub/inner.mip", 1, 2);
  WriteMip("outer.mip", 1, 3);
  WriteMip("sub\\back.mip", 1, 4);

  SetMaterials(model, {MakeMaterial("gone.tga", 0, 1), MakeMaterial("present", 0, 2),
                       MakeMaterial("colour", 1, 0), MakeMaterial("gone", 0, 3),
                       MakeMaterial("sub/inner", 0, 4), MakeMaterial("sub/../outer", 0, 5),
                       MakeMaterial("sub\\back", 0, 6), MakeMaterial("broken", 0, 7),
                       MakeMaterial(std::string("present\0x", 9), 0, 8)});

  EXPECT_EQ(model.ReadTextureImages(ModelPath()),
            "\r\ngone.mip\r\ngone.mip\r\nsub/inner.mip\r\nsub/..mip\r\nsub\\back.mip"
            "\r\nbroken.mip\r\npresent\\x00x.mip");
  const int numbers[] = {-1, 2, -1, -1, -1, -1, -1, -1};
  ASSERT_EQ(model.Textures().size(), 8u);
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(model.Textures()[k].nNumber, numbers[k]) << k;
    EXPECT_EQ(model.Textures()[k].pPixels == nullptr, numbers[k] == -1) << k;
  }
  // Missing textures keep their index: the draw still finds their entry.
  EXPECT_EQ(model.Materials()[0].nTexIndex, 0);
  EXPECT_EQ(model.Materials()[8].nTexIndex, 7);
}

TEST_F(TextureSetUp, FindsAFileWhoseNameDiffersInCaseOnly) {
  WriteMip("WING.MIP", 2, 11);
  WriteMip("Tail.Mip", 3, 12);
  WriteMip("tail.mip", 4, 13);  // the exact name wins over a case variant
  // Two case variants and no exact name: the first in byte order is taken.
  WriteMip("roof.mip", 5, 14);
  WriteMip("ROOF.mip", 6, 15);
  WriteMip("Roof.mip", 7, 16);
  std::filesystem::create_directory(dir.File("FIN.MIP"));  // not a file

  SetMaterials(model, {MakeMaterial("wing", 0, 0), MakeMaterial("tail", 0, 0),
                       MakeMaterial("rOOf", 0, 0), MakeMaterial("fin", 0, 0)});
  // The list shows the name the model asks for.
  EXPECT_EQ(model.ReadTextureImages(ModelPath()), "\r\nfin.mip");
  const std::uint8_t markers[] = {11, 13, 15};
  for (int k = 0; k < 3; ++k) {
    ASSERT_NE(model.Textures()[k].pPixels, nullptr) << k;
    EXPECT_EQ(model.Textures()[k].pPixels[0], markers[k]) << k;
  }
}

TEST_F(TextureSetUp, NoTexturedMaterialsReadsNothing) {
  WriteMip("a.mip", 1, 1);
  SetMaterials(model, {MakeMaterial("a", 0, 0)});
  ASSERT_EQ(model.ReadTextureImages(ModelPath()), "");
  ASSERT_EQ(model.Textures().size(), 1u);

  // The next model has none: the old entries and images go.
  SetMaterials(model, {MakeMaterial("a", 1, 0)});
  EXPECT_EQ(model.ReadTextureImages(ModelPath()), "");
  EXPECT_TRUE(model.Textures().empty());
  EXPECT_EQ(model.Materials()[0].nTexIndex, -1);
}

TEST_F(TextureSetUp, ABareModelNameLooksInTheWorkingDirectory) {
  WriteMip("wing.mip", 2, 1);
  SetMaterials(model, {MakeMaterial("wing", 0, 0)});
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const std::string missing = model.ReadTextureImages("plane.bin");
  std::filesystem::current_path(previous);
  EXPECT_EQ(missing, "");
  EXPECT_EQ(model.Textures()[0].nWidth, 2);
}

TEST_F(TextureSetUp, TexturesComeThroughTheModelsPalette) {
  // A model read from a file, textures beside it: the whole reading half of
  // the open sequence.
  lgmd::ModelDesc desc;
  desc.name = "kite";
  desc.materials = {{"T_sail", 0, 1, 42, 0, 0}, {"frame", 0, 2, 43, 0, 0}};
  ASSERT_TRUE(lgmd::WriteFile(ModelPath(), lgmd::Build(desc)));
  ASSERT_TRUE(lgmd::WriteFile(dir.File("T_sail.mip"), lgmd::BuildMip(2, 1, {0, 200})));
  ASSERT_TRUE(model.Read(ModelPath()).ok());

  EXPECT_EQ(model.ReadTextureImages(ModelPath()), "\r\nframe.mip");
  ASSERT_EQ(model.Textures().size(), 2u);
  const TextureEntry& sail = model.Textures()[0];
  EXPECT_EQ(sail.nNumber, 42);
  EXPECT_TRUE(sail.bTransparent);
  ASSERT_NE(sail.pPixels, nullptr);
  EXPECT_EQ(Bytes(sail.pPixels.get(), sail.pPixels.get() + 8),
            Pixels({Pixel(0, 0, 0, 0), Pixel(200, 144, 88, 255)}));
  EXPECT_EQ(model.Textures()[1].nNumber, -1);
}

}  // namespace
