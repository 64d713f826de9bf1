// Every prefix and a fixed set of single-byte flips of real inputs, through
// each reader. Each input sits in a heap buffer of exactly its size, so the
// sanitizers flag any read past its end. A reader either refuses the input
// the usual way or returns something whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lgmd_builder/lgmd_builder.h"
#include "model/mip_file.h"
#include "model/model.h"
#include "model/palette_text.h"
#include "support/full_model.h"
#include "support/lgmd_round_trip.h"
#include "support/model_invariants.h"
#include "support/temp_dir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kSource = ZORVIK_SOURCE_DIR;

Bytes FileBytes(const std::string& path) {
  const std::string text = ReadWholeFile(path);
  return {text.begin(), text.end()};
}

// A copy of the first n bytes in a buffer that ends where they end.
std::unique_ptr<std::uint8_t[]> Exact(const Bytes& bytes, std::size_t n) {
  auto copy = std::make_unique<std::uint8_t[]>(n);
  std::copy_n(bytes.begin(), n, copy.get());
  return copy;
}

// Calls check(buffer, size, where) for every prefix shorter than the input,
// then for the input with one byte flipped: every byte of the first `dense`
// bytes and every `stride`-th after, each with three masks.
void ForEachPrefixAndFlip(
    const Bytes& bytes, std::size_t dense, std::size_t stride,
    const std::function<void(const std::uint8_t*, std::size_t, std::size_t flipAt)>& check) {
  constexpr std::size_t kNoFlip = static_cast<std::size_t>(-1);
  for (std::size_t n = 0; n < bytes.size(); ++n) check(Exact(bytes, n).get(), n, kNoFlip);
  for (std::size_t at = 0; at < bytes.size(); at += at < dense ? 1 : stride) {
    for (std::uint8_t mask : {0x01, 0x80, 0xFF}) {
      auto copy = Exact(bytes, bytes.size());
      copy[at] ^= mask;
      check(copy.get(), bytes.size(), at);
    }
  }
}

struct Input {
  std::string name;
  Bytes bytes;
};

constexpr std::size_t kLgmdHeader = 110;

// Empty when the reader handled the input cleanly: a refusal with a reason
// that leaves the model empty, or a model that keeps its promises and, when
// asked, re-saves as itself.
std::string LgmdProblem(const std::uint8_t* data, std::size_t size, bool roundTrip) {
  CModel model;
  ReadResult result;
  if ((result = model.ReadFromMemory(data, size)).ok()) {
    const std::string broken = invariants::Broken(model);
    return broken.empty() && roundTrip ? roundtrip::Problem(model) : broken;
  }
  if (result.ok() || result.Reason().empty()) return "refused without a reason";
  if (!model.Polygons().empty() || model.VertexCount() != 0) return "refused, model changed";
  return {};
}

TEST(PrefixAndFlip, LgmdReaderRefusesOrReadsAWholeModel) {
  const Input inputs[] = {
      {"demo biplane", FileBytes(kSource + "/samples/demo/biplane.bin")},
      {"full model", lgmd::Build(lgmd::FullModel())},
  };
  for (const Input& input : inputs) {
    SCOPED_TRACE(input.name);
    ASSERT_GT(input.bytes.size(), kLgmdHeader);
    CModel whole;
    ASSERT_TRUE(whole.ReadFromMemory(input.bytes.data(), input.bytes.size()).ok());
    int failures = 0;
    // Every byte of the small model; the demo after its header at a stride
    // that keeps the sanitizer run short.
    const std::size_t stride = input.bytes.size() < 4096 ? 1 : 31;
    ForEachPrefixAndFlip(input.bytes, kLgmdHeader, stride,
                         [&](const std::uint8_t* data, std::size_t size, std::size_t flipAt) {
                           // Re-saving costs far more than reading: every
                           // case of the small model, the demo's header.
                           const bool roundTrip = stride == 1 || flipAt < kLgmdHeader;
                           const std::string problem = LgmdProblem(data, size, roundTrip);
                           if (!problem.empty() && ++failures <= 5) {
                             ADD_FAILURE()
                                 << "size " << size << ", flip at " << flipAt << ": " << problem;
                           }
                         });
  }
}

TEST(PrefixAndFlip, MipDecoderRefusesShortFilesAndDecodesWholeOnes) {
  const Input inputs[] = {
      {"demo fabric", FileBytes(kSource + "/samples/demo/fabric.mip")},
      {"padded", lgmd::BuildMip(3, 5, Bytes(15, 77), 24)},
  };
  std::vector<PaletteEntry> palette(256);
  for (int i = 0; i < 256; ++i) palette[i] = {i, 255 - i, i / 2};
  for (const Input& input : inputs) {
    SCOPED_TRACE(input.name);
    std::int32_t pixelOffset = 0;
    std::memcpy(&pixelOffset, input.bytes.data(), sizeof pixelOffset);
    ForEachPrefixAndFlip(
        input.bytes, mip::kHeaderSize, 5,
        [&](const std::uint8_t* data, std::size_t size, std::size_t flipAt) {
          const mip::MipImage image = mip::Decode(data, size, palette, true);
          const bool prefix = size < input.bytes.size();
          const bool pixelFlip = !prefix && flipAt >= static_cast<std::size_t>(pixelOffset);
          // Each file here ends with its last pixel, and no pixel value
          // can make a file fail.
          if (prefix || pixelFlip) {
            ASSERT_EQ(image.ok(), !prefix) << "size " << size << " flip at " << flipAt;
          }
          if (!image.ok()) {
            ASSERT_FALSE(image.reason.empty());
            return;
          }
          const std::size_t last = static_cast<std::size_t>(image.width) * image.height * 4;
          if (last > 0) {
            ASSERT_TRUE(image.pixels[last - 1] == 0 || image.pixels[last - 1] == 255);
          }
        });
  }
}

TEST(PrefixAndFlip, PaletteParserKeepsWhatLiesBeforeTheDamage) {
  const Bytes bytes = FileBytes(kSource + "/samples/palettes/sanfran.pal");
  ASSERT_FALSE(bytes.empty());
  std::vector<PaletteEntry> whole;
  ParsePaletteText(reinterpret_cast<const char*>(bytes.data()), bytes.size(), whole);
  ASSERT_NE(whole[255], (PaletteEntry{0, 0, 0}));
  constexpr std::size_t kHeaderLines = 3;
  ForEachPrefixAndFlip(
      bytes, 16, 3, [&](const std::uint8_t* data, std::size_t size, std::size_t flipAt) {
        std::vector<PaletteEntry> palette;
        ParsePaletteText(reinterpret_cast<const char*>(data), size, palette);
        ASSERT_EQ(palette.size(), 256u);
        // Lines wholly before the damage read as in the whole file.
        const std::size_t damage = std::min(size, flipAt);
        const auto lines = static_cast<std::size_t>(std::count(data, data + damage, '\n'));
        const std::size_t intact = lines > kHeaderLines ? lines - kHeaderLines : 0;
        for (std::size_t i = 0; i < intact && i < 256; ++i) {
          ASSERT_EQ(palette[i], whole[i])
              << "entry " << i << ", size " << size << " flip at " << flipAt;
        }
        // A cut file supplies no entry past the cut: the rest stay black.
        if (size < bytes.size()) {
          for (std::size_t i = intact + 1; i < 256; ++i) {
            ASSERT_EQ(palette[i], (PaletteEntry{0, 0, 0})) << "entry " << i << ", size " << size;
          }
        }
      });
}

}  // namespace
