#include "model/mip_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

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
// A file's indices are read this many at a time, so that reading one costs
// a small fixed buffer beside the image itself.
constexpr std::size_t kSliceSize = 256 * 1024;

constexpr const char* kShortHeader = "shorter than the 12-byte header of a .mip file";
constexpr const char* kNoMemory = "too large to fit in memory";

std::int32_t ReadInt32(const std::uint8_t* p) {
  const std::uint32_t v =
      static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
      (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  return static_cast<std::int32_t>(v);
}

std::int16_t ReadInt16(const std::uint8_t* p) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

struct Header {
  std::int32_t pixelOffset = 0;
  int width = 0;
  int height = 0;

  std::uint64_t Count() const {
    return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  }
  std::string SizeText() const {
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
  }
};

Header ParseHeader(const std::uint8_t* bytes) {
  Header header;
  header.pixelOffset = ReadInt32(bytes + kPixelOffsetAt);
  header.width = ReadInt16(bytes + kWidthAt);
  header.height = ReadInt16(bytes + kHeightAt);
  return header;
}

// Whether the image the header describes can be decoded from a file of
// fileSize bytes, before anything is allocated for it. An empty image is
// refused too: a texture of no pixels shows nothing, and the viewer would
// draw its polygons with an empty texture bound.
bool CheckHeader(const Header& header, std::uint64_t fileSize, int maxSide, std::string& reason) {
  if (header.width < 0 || header.height < 0) {
    reason = "negative size (" + header.SizeText() + ")";
    return false;
  }
  if (header.width == 0 || header.height == 0) {
    reason = "an empty image (" + header.SizeText() + ")";
    return false;
  }
  if (header.width > maxSide || header.height > maxSide) {
    reason = header.SizeText() + ", larger than the limit of " + std::to_string(maxSide) +
             " pixels a side";
    return false;
  }
  const auto offset = static_cast<std::uint64_t>(header.pixelOffset);
  if (header.pixelOffset < 0 || offset > fileSize || header.Count() > fileSize - offset) {
    reason = "the file ends before its " + header.SizeText();
    return false;
  }
  return true;
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

void Convert(const std::uint8_t* indices, std::size_t count, const PixelTable& table,
             std::uint8_t* out) {
  for (std::size_t i = 0; i < count; ++i, out += kBytesPerPixel) {
    std::memcpy(out, &table[static_cast<std::size_t>(indices[i]) * kBytesPerPixel], kBytesPerPixel);
  }
}

// Every byte is written by the conversion, so the buffer is not zeroed.
std::unique_ptr<std::uint8_t[]> AllocateImage(const Header& header) {
  return std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(header.Count()) *
                                                        kBytesPerPixel);
}

std::string::size_type BaseLength(const std::string& materialName) {
  const std::string::size_type dot = materialName.rfind('.');
  return dot == std::string::npos ? materialName.size() : dot;
}

}  // namespace

int Decode(const std::uint8_t* data, std::size_t size, const std::vector<PaletteEntry>& palette,
           bool transparent, std::unique_ptr<std::uint8_t[]>& pixels, int& width, int& height,
           int maxSide, std::string* reason) {
  std::string unused;
  std::string& why = reason != nullptr ? *reason : unused;
  pixels.reset();
  if (data == nullptr || size < kHeaderSize) {
    why = kShortHeader;
    return kDecodeFailed;
  }
  const Header header = ParseHeader(data);
  width = header.width;
  height = header.height;
  if (!CheckHeader(header, size, maxSide, why)) return kDecodeFailed;

  PixelTable table;
  BuildPixelTable(palette, transparent, table);
  try {
    pixels = AllocateImage(header);
  } catch (const std::bad_alloc&) {
    why = kNoMemory;
    return kDecodeFailed;
  }
  Convert(data + header.pixelOffset, static_cast<std::size_t>(header.Count()), table, pixels.get());
  return kDecodeOk;
}

int DecodeFile(const filebytes::CInputFile& file, const std::vector<PaletteEntry>& palette,
               bool transparent, std::unique_ptr<std::uint8_t[]>& pixels, int& width, int& height,
               int maxSide, std::string& reason) {
  pixels.reset();
  std::uint8_t bytes[kHeaderSize];
  std::size_t got = 0;
  if (!file.ReadAt(0, bytes, kHeaderSize, got, reason)) return kDecodeFailed;
  if (got < kHeaderSize) {
    reason = kShortHeader;
    return kDecodeFailed;
  }
  const Header header = ParseHeader(bytes);
  width = header.width;
  height = header.height;
  if (!CheckHeader(header, file.Size(), maxSide, reason)) return kDecodeFailed;

  PixelTable table;
  BuildPixelTable(palette, transparent, table);
  const auto count = static_cast<std::size_t>(header.Count());
  std::unique_ptr<std::uint8_t[]> image;
  std::vector<std::uint8_t> slice;
  try {
    image = AllocateImage(header);
    slice.resize(std::min(count, kSliceSize));
  } catch (const std::bad_alloc&) {
    reason = kNoMemory;
    return kDecodeFailed;
  }
  const auto offset = static_cast<std::uint64_t>(header.pixelOffset);
  for (std::size_t done = 0; done < count; done += slice.size()) {
    const std::size_t length = std::min(slice.size(), count - done);
    if (!file.ReadAt(offset + done, slice.data(), length, got, reason)) return kDecodeFailed;
    // The file shrank since its size was checked.
    if (got < length) {
      reason = "the file ends before its " + header.SizeText();
      return kDecodeFailed;
    }
    Convert(slice.data(), length, table, image.get() + done * kBytesPerPixel);
  }
  pixels = std::move(image);
  return kDecodeOk;
}

std::string BaseNameOf(const std::string& materialName) {
  return materialName.substr(0, BaseLength(materialName));
}

std::string FileNameFor(const std::string& materialName) {
  return BaseNameOf(materialName) + ".mip";
}

}  // namespace mip
