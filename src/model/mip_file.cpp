#include "model/mip_file.h"

#include <array>
#include <cstring>

namespace mip {

namespace {

constexpr std::size_t kPixelOffsetAt = 0;
constexpr std::size_t kWidthAt = 8;
constexpr std::size_t kHeightAt = 10;
constexpr int kPaletteSize = 256;
constexpr std::uint8_t kOpaque = 255;
constexpr std::uint8_t kClear = 0;
// The index that shows as a hole in transparent textures.
constexpr int kTransparentIndex = 0;

std::int32_t ReadInt32(const std::uint8_t* p) {
  const std::uint32_t v =
      static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
      (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  return static_cast<std::int32_t>(v);
}

std::int16_t ReadInt16(const std::uint8_t* p) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

// The BGRA bytes of every index, worked out once per image so that the pixel
// loop is a plain copy.
using PixelTable = std::array<std::uint8_t, kPaletteSize * kBytesPerPixel>;

void BuildPixelTable(const std::vector<PaletteEntry>& palette, bool transparent,
                     PixelTable& table) {
  for (int i = 0; i < kPaletteSize; ++i) {
    std::uint8_t* texel = &table[static_cast<std::size_t>(i) * kBytesPerPixel];
    if (static_cast<std::size_t>(i) < palette.size()) {
      // Only the low 8 bits of a stored value count: 300 becomes 44.
      for (int k = 0; k < 3; ++k) texel[k] = static_cast<std::uint8_t>(palette[i][k] & 0xFF);
    } else {
      texel[0] = texel[1] = texel[2] = 0;
    }
    texel[3] = (transparent && i == kTransparentIndex) ? kClear : kOpaque;
  }
}

std::string::size_type BaseLength(const std::string& materialName) {
  const std::string::size_type dot = materialName.rfind('.');
  return dot == std::string::npos ? materialName.size() : dot;
}

}  // namespace

int Decode(const std::uint8_t* data, std::size_t size, const std::vector<PaletteEntry>& palette,
           bool transparent, std::unique_ptr<std::uint8_t[]>& pixels, int& width, int& height) {
  pixels.reset();
  if (data == nullptr || size < kHeaderSize) return kDecodeFailed;

  const std::int32_t pixelOffset = ReadInt32(data + kPixelOffsetAt);
  width = ReadInt16(data + kWidthAt);
  height = ReadInt16(data + kHeightAt);
  if (width < 0 || height < 0) return kDecodeFailed;

  // Both sizes are below 2^15, so the count fits easily in 64 bits. An empty
  // image reads nothing and so needs no pixel data at all.
  const std::uint64_t count =
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  if (count > 0) {
    if (pixelOffset < 0) return kDecodeFailed;
    const std::uint64_t offset = static_cast<std::uint64_t>(pixelOffset);
    if (offset > size || count > size - offset) return kDecodeFailed;
  }

  PixelTable table;
  BuildPixelTable(palette, transparent, table);

  // Every byte is written below, so the buffer need not be zeroed first.
  pixels = std::make_unique_for_overwrite<std::uint8_t[]>(count * kBytesPerPixel);
  const std::uint8_t* index = data + (count > 0 ? static_cast<std::size_t>(pixelOffset) : 0);
  std::uint8_t* out = pixels.get();
  for (std::uint64_t i = 0; i < count; ++i, out += kBytesPerPixel) {
    std::memcpy(out, &table[static_cast<std::size_t>(index[i]) * kBytesPerPixel], kBytesPerPixel);
  }
  return kDecodeOk;
}

std::string BaseNameOf(const std::string& materialName) {
  return materialName.substr(0, BaseLength(materialName));
}

std::string FileNameFor(const std::string& materialName) {
  return BaseNameOf(materialName) + ".mip";
}

}  // namespace mip
