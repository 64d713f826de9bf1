// Palette files and the conversion of material colours for each region.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "lgmd_builder/lgmd_builder.h"
#include "model/model.h"
#include "support/edit_model.h"
#include "support/temp_dir.h"

namespace {

std::string Lines(int first, int count) {
  std::string text;
  for (int i = first; i < first + count; ++i) {
    text += std::to_string(i % 256) + " " + std::to_string((i * 3) % 256) + " " +
            std::to_string((i * 7) % 256) + "\n";
  }
  return text;
}

PaletteEntry EntryOfLine(int i) { return {(i * 7) % 256, (i * 3) % 256, i % 256}; }

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out);
}

struct PaletteCase {
  const char* name;
  std::string text;
  // Entries expected to hold something other than (0, 0, 0); every other
  // one of the 256 must be (0, 0, 0).
  std::vector<std::pair<int, PaletteEntry>> entries;
};

TEST(LoadPalette, ReadsEntriesUntilTheTextStops) {
  const std::string header = "JASC-PAL 0100 256\n";
  std::vector<std::pair<int, PaletteEntry>> all;
  for (int i = 0; i < 256; ++i) all.push_back({i, EntryOfLine(i)});
  std::vector<std::pair<int, PaletteEntry>> last = all;
  last.back().second = {0, 128, 255};

  const std::vector<PaletteCase> cases = {
      {"full file", header + Lines(0, 256), all},
      {"last line without a line break is kept", header + Lines(0, 255) + "255 128 0", last},
      {"line read red green blue, stored blue green red",
       header + "255 128 0\n",
       {{0, {0, 128, 255}}}},
      {"more than 256 lines", header + Lines(0, 256) + "1 1 1\n2 2 2\n", all},
      {"empty file", "", {}},
      {"only the header", header, {}},
      {"fewer than three header words", "JASC-PAL 0100", {}},
      {"header words are not checked", "any three words\n1 2 3\n", {{0, {3, 2, 1}}}},
      {"triple cut short by the end", header + "1 2 3\n4 5", {{0, {3, 2, 1}}}},
      {"stops at a word", header + "1 2 3\n4 x 6\n7 8 9\n", {{0, {3, 2, 1}}}},
      {"stops at digits followed by letters",
       header + "1 2 3\n4 5 6abc\n7 8 9\n",
       {{0, {3, 2, 1}}}},
      {"stops at a decimal point", header + "1 2 3\n4.0 5 6\n", {{0, {3, 2, 1}}}},
      {"stops at a lone sign", header + "1 2 3\n- 5 6\n", {{0, {3, 2, 1}}}},
      {"signs and out-of-range values are stored as read",
       header + "+5 -7 300\n",
       {{0, {300, -7, 5}}}},
      {"int limits are integers",
       header + "2147483647 -2147483648 0\n",
       {{0, {0, -2147483648, 2147483647}}}},
      {"a number beyond int stops the reading",
       header + "1 2 3\n2147483648 0 0\n7 8 9\n",
       {{0, {3, 2, 1}}}},
      {"a negative number beyond int stops the reading",
       header + "1 2 3\n-2147483649 0 0\n",
       {{0, {3, 2, 1}}}},
      {"a very long number stops the reading",
       header + "1 2 3\n" + std::string(40, '9') + " 0 0\n",
       {{0, {3, 2, 1}}}},
      {"any blank separates, lines mean nothing",
       "a\tb\r\nc 1\r\n2\t3 4\n5 6\r\n",
       {{0, {3, 2, 1}}, {1, {6, 5, 4}}}},
  };

  ScopedTempDir dir;
  for (const PaletteCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File("test.pal");
    ASSERT_TRUE(WriteText(path, c.text));
    CModel model;
    ASSERT_TRUE(model.LoadPalette(path).ok());
    ASSERT_EQ(model.Palette().size(), 256u);
    std::vector<PaletteEntry> expected(256, PaletteEntry{0, 0, 0});
    for (const auto& [index, entry] : c.entries) expected[index] = entry;
    for (int i = 0; i < 256; ++i) {
      ASSERT_EQ(model.Palette()[i], expected[i]) << "entry " << i;
    }
  }
}

TEST(LoadPalette, FailureLeavesThePaletteAsItWas) {
  ScopedTempDir dir;
  const std::string good = dir.File("good.pal");
  ASSERT_TRUE(WriteText(good, "h e d\n10 20 30\n"));
  std::filesystem::create_directory(dir.File("folder.pal"));
  ASSERT_EQ(mkfifo(dir.File("pipe.pal").c_str(), 0600), 0);
  // A palette is a few kilobytes; a huge file is refused unread (sparse,
  // so the test costs nothing).
  const std::string huge = dir.File("huge.pal");
  ASSERT_TRUE(WriteText(huge, "h e d\n1 2 3\n"));
  std::filesystem::resize_file(huge, std::uintmax_t{2} << 30);

  const std::pair<std::string, std::string> cases[] = {
      {dir.File("absent.pal"), "No such file or directory"},
      {dir.File("folder.pal"), "is a directory"},
      {dir.File("pipe.pal"), "not a regular file"},
      {huge, "larger than 65536 bytes"},
      {std::string(), "No such file or directory"},
  };
  for (const auto& [bad, reason] : cases) {
    SCOPED_TRACE(bad);
    CModel model;
    ASSERT_TRUE(model.LoadPalette(good).ok());
    const ReadResult result = model.LoadPalette(bad);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.Reason(), reason);
    ASSERT_EQ(model.Palette().size(), 256u);
    EXPECT_EQ(model.Palette()[0], (PaletteEntry{30, 20, 10}));
  }
}

TEST(LoadPalette, TakesFilesUpToTheSizeLimit) {
  ScopedTempDir dir;
  const std::string path = dir.File("padded.pal");
  std::string text = "h e d\n1 2 3\n";
  text.resize(kMaxPaletteFileSize, ' ');
  ASSERT_TRUE(WriteText(path, text));
  CModel model;
  ASSERT_TRUE(model.LoadPalette(path).ok());
  EXPECT_EQ(model.Palette()[0], (PaletteEntry{3, 2, 1}));
  ASSERT_TRUE(WriteText(path, text + " "));
  EXPECT_FALSE(model.LoadPalette(path).ok());
}

TEST(LoadPalette, ReloadReplacesTheWholePalette) {
  ScopedTempDir dir;
  const std::string longer = dir.File("long.pal");
  const std::string shorter = dir.File("short.pal");
  ASSERT_TRUE(WriteText(longer, "h e d\n" + Lines(1, 10)));
  ASSERT_TRUE(WriteText(shorter, "h e d\n9 9 9\n"));
  CModel model;
  ASSERT_TRUE(model.LoadPalette(longer).ok());
  ASSERT_TRUE(model.LoadPalette(shorter).ok());
  ASSERT_EQ(model.Palette().size(), 256u);
  EXPECT_EQ(model.Palette()[0], (PaletteEntry{9, 9, 9}));
  // Entries the second file does not supply must not keep the first file's.
  EXPECT_EQ(model.Palette()[1], (PaletteEntry{0, 0, 0}));
}

// A model holding only the given colours, as the reader would leave them.
void SetColors(CModel& model, const std::vector<std::array<float, 3>>& colors, int kind = 1) {
  EditContent(model, [&](ModelContent& content) {
    content.m_vecMaterials.clear();
    for (const auto& c : colors) {
      Material m;
      m.nKind = kind;
      m.fColor[0] = c[0];
      m.fColor[1] = c[1];
      m.fColor[2] = c[2];
      m.fColor[3] = 0.5f;
      content.m_vecMaterials.push_back(m);
    }
    content.m_nMaterials = static_cast<int>(content.m_vecMaterials.size());
  });
}

float Unit(int byte) { return static_cast<float>(byte * kByteToUnit); }

TEST(ApplyPalette, RegionZeroSwapsEveryOtherRegionSnaps) {
  struct Case {
    int region;
    std::array<float, 3> color;  // after the call
    double defaultColor;
  };
  // Entry 5 is the only colour near the material; it is stored as
  // (blue 40, green 50, red 60) and so snaps the colour (0.1, 0.2, 0.3)
  // to 40/255, 50/255, 60/255 component by component.
  const std::vector<Case> cases = {
      {0, {0.3f, 0.2f, 0.1f}, 1.0},
      {1, {Unit(40), Unit(50), Unit(60)}, 0.0},
      {2, {Unit(40), Unit(50), Unit(60)}, 0.0},
      {-1, {Unit(40), Unit(50), Unit(60)}, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("region " + std::to_string(c.region));
    CModel model;
    std::vector<PaletteEntry> palette(256, PaletteEntry{255, 255, 255});
    palette[5] = {40, 50, 60};
    model.SetPalette(palette);
    SetColors(model, {{0.1f, 0.2f, 0.3f}});
    model.ApplyPalette(c.region);
    const Material& m = model.Materials()[0];
    EXPECT_EQ(m.fColor[0], c.color[0]);
    EXPECT_EQ(m.fColor[1], c.color[1]);
    EXPECT_EQ(m.fColor[2], c.color[2]);
    EXPECT_EQ(m.fColor[3], 0.5f) << "alpha is never touched";
    EXPECT_EQ(model.DefaultColor()[0], c.defaultColor);
    EXPECT_EQ(model.DefaultColor()[1], c.defaultColor);
    EXPECT_EQ(model.DefaultColor()[2], c.defaultColor);
  }
}

TEST(MatchPaletteColors, PicksTheNearestEntry) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, PaletteEntry>> entries;  // the rest far away
    std::array<float, 3> color;
    int expected;  // index of the entry chosen
  };
  const std::vector<Case> cases = {
      // 0.5 * 255 = 127.5 truncates to 127: (255, 127, 0) is exact, while
      // rounding would have preferred (255, 128, 0) at the lower index.
      {"components are truncated", {{3, {255, 128, 0}}, {7, {255, 127, 0}}}, {1.0f, 0.5f, 0.0f}, 7},
      {"bytes come back exactly", {{1, {199, 0, 0}}, {2, {200, 0, 0}}}, {Unit(200), 0, 0}, 2},
      {"a tie goes to the lower index", {{9, {10, 0, 0}}, {4, {0, 10, 0}}}, {0, 0, 0}, 4},
      {"a tie with entry 0", {{0, {1, 0, 0}}, {1, {0, 1, 0}}}, {0, 0, 0}, 0},
      {"component k meets stored component k",
       {{1, {0, 0, 255}}, {2, {255, 0, 0}}},
       {1.0f, 0, 0},
       2},
      {"the last entry can win", {{255, {17, 34, 51}}}, {Unit(17), Unit(34), Unit(51)}, 255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CModel model;
    std::vector<PaletteEntry> palette(256, PaletteEntry{-1000, -1000, -1000});
    for (const auto& [index, entry] : c.entries) palette[index] = entry;
    model.SetPalette(palette);
    SetColors(model, {c.color});
    model.MatchPaletteColors();
    const PaletteEntry& want = model.Palette()[c.expected];
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(model.Materials()[0].fColor[k], Unit(want[k])) << "component " << k;
    }
  }
}

TEST(MatchPaletteColors, SnapsTexturedMaterialsToo) {
  CModel model;
  std::vector<PaletteEntry> palette(256, PaletteEntry{0, 0, 0});
  palette[1] = {100, 100, 100};
  model.SetPalette(palette);
  SetColors(model, {{Unit(90), Unit(95), Unit(110)}, {Unit(2), 0, 0}}, /*kind=*/0);
  model.MatchPaletteColors();
  EXPECT_EQ(model.Materials()[0].fColor[0], Unit(100));
  EXPECT_EQ(model.Materials()[0].fColor[2], Unit(100));
  EXPECT_EQ(model.Materials()[1].fColor[0], 0.0f);
}

TEST(MatchPaletteColors, NoEntryInReachLeavesTheColour) {
  // A palette with no entries, or with values far outside a byte, offers no
  // colour; the material keeps its own instead of a made-up one.
  for (const std::vector<PaletteEntry>& palette :
       {std::vector<PaletteEntry>{}, std::vector<PaletteEntry>(256, PaletteEntry{2000000000, 0, 0}),
        std::vector<PaletteEntry>(256,
                                  PaletteEntry{-2147483647 - 1, 2147483647, -2147483647 - 1})}) {
    CModel model;
    model.SetPalette(palette);
    SetColors(model, {{0.25f, 0.5f, 0.75f}});
    model.MatchPaletteColors();
    EXPECT_EQ(model.Materials()[0].fColor[0], 0.25f);
    EXPECT_EQ(model.Materials()[0].fColor[2], 0.75f);
  }
}

// The palette part of the open sequence, as the document runs it.
int OpenWithPalette(CModel& model, const std::string& modelPath, const std::string& palettePath,
                    int region) {
  if (!model.Read(modelPath).ok()) return -1;
  if (!model.LoadPalette(palettePath).ok()) return -1;
  model.ApplyPalette(region);
  return 0;
}

TEST(ApplyPalette, SwitchingBackGivesTheFirstColours) {
  ScopedTempDir dir;
  lgmd::ModelDesc desc;
  desc.name = "swap";
  desc.materials = {{"paint", 1, 1, 50, 100, 200}, {"t_glass", 0, 2, 7, 30, 60}};
  const std::string modelPath = dir.File("swap.bin");
  ASSERT_TRUE(lgmd::WriteFile(modelPath, lgmd::Build(desc)));
  const std::string palettePath = dir.File("p.pal");
  ASSERT_TRUE(WriteText(palettePath, "h e d\n0 0 0\n52 98 205\n9 28 63\n"));

  auto colors = [](const CModel& model) {
    std::vector<float> all;
    for (const Material& m : model.Materials()) all.insert(all.end(), m.fColor, m.fColor + 4);
    return all;
  };

  CModel model;
  ASSERT_EQ(OpenWithPalette(model, modelPath, palettePath, 0), 0);
  const std::vector<float> first = colors(model);
  ASSERT_EQ(first.size(), 8u);
  // Region 0 shows the file's colours with red and blue exchanged.
  EXPECT_EQ(first[0], Unit(50));
  EXPECT_EQ(first[2], Unit(200));

  ASSERT_EQ(OpenWithPalette(model, modelPath, palettePath, 1), 0);
  const std::vector<float> snapped = colors(model);
  // (red 200, green 100, blue 50) compares with the entries as stored,
  // blue first: the line "52 98 205" is stored (205, 98, 52) and wins. The
  // textured material (60, 30, 7) snaps to "9 28 63" in the same way.
  EXPECT_EQ(snapped[0], Unit(205));
  EXPECT_EQ(snapped[1], Unit(98));
  EXPECT_EQ(snapped[2], Unit(52));
  EXPECT_EQ(snapped[4], Unit(63));
  EXPECT_EQ(snapped[5], Unit(28));
  EXPECT_EQ(snapped[6], Unit(9));
  EXPECT_EQ(snapped[7], 0.0f) << "the t_ material keeps its transparency";

  ASSERT_EQ(OpenWithPalette(model, modelPath, palettePath, 0), 0);
  EXPECT_EQ(colors(model), first);
}

}  // namespace
