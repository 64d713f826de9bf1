#include "model/mip_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "io/byte_cursor.h"

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
  header.pixelOffset = static_cast<std::int32_t>(LittleU32(bytes + kPixelOffsetAt));
  header.width = LittleI16(bytes + kWidthAt);
  header.height = LittleI16(bytes + kHeightAt);
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

// What both decoders share once the header's bytes are at hand: the header
// read and checked against the file's size, the table built and the image
// allocated. On failure the reason is in reason; width and height hold the
// header's values either way.
struct Start {
  Header header;
  PixelTable table;
  std::unique_ptr<std::uint8_t[]> image;
};

bool BeginDecode(const std::uint8_t* headerBytes, std::uint64_t fileSize,
                 const std::vector<PaletteEntry>& palette, bool transparent, int maxSide,
                 int& width, int& height, Start& start, std::string& reason) {
  start.header = ParseHeader(headerBytes);
  width = start.header.width;
  height = start.header.height;
  if (!CheckHeader(start.header, fileSize, maxSide, reason)) return false;
  BuildPixelTable(palette, transparent, start.table);
  try {
    start.image = AllocateImage(start.header);
  } catch (const std::bad_alloc&) {
    reason = kNoMemory;
    return false;
  }
  return true;
}

std::string::size_type BaseLength(const std::string& materialName) {
  const std::string::size_type dot = materialName.rfind('.');
  return dot == std::string::npos ? materialName.size() : dot;
}

}  // namespace

MipImage Decode(const std::uint8_t* data, std::size_t size,
                const std::vector<PaletteEntry>& palette, bool transparent, int maxSide) {
  MipImage result;
  if (data == nullptr || size < kHeaderSize) {
    result.reason = kShortHeader;
    return result;
  }
  Start start;
  if (!BeginDecode(data, size, palette, transparent, maxSide, result.width, result.height, start,
                   result.reason)) {
    return result;
  }
  Convert(data + start.header.pixelOffset, static_cast<std::size_t>(start.header.Count()),
          start.table, start.image.get());
  result.pixels = std::move(start.image);
  return result;
}

MipImage DecodeFile(const filebytes::CInputFile& file, const std::vector<PaletteEntry>& palette,
                    bool transparent, int maxSide) {
  MipImage result;
  std::string& reason = result.reason;
  std::uint8_t bytes[kHeaderSize];
  std::size_t got = 0;
  if (!file.ReadAt(0, bytes, kHeaderSize, got, reason)) return result;
  if (got < kHeaderSize) {
    reason = kShortHeader;
    return result;
  }
  Start start;
  if (!BeginDecode(bytes, file.Size(), palette, transparent, maxSide, result.width, result.height,
                   start, reason)) {
    return result;
  }
  const Header& header = start.header;
  const auto count = static_cast<std::size_t>(header.Count());
  std::vector<std::uint8_t> slice;
  try {
    slice.resize(std::min(count, kSliceSize));
  } catch (const std::bad_alloc&) {
    reason = kNoMemory;
    return result;
  }
  const auto offset = static_cast<std::uint64_t>(header.pixelOffset);
  for (std::size_t done = 0; done < count; done += slice.size()) {
    const std::size_t length = std::min(slice.size(), count - done);
    if (!file.ReadAt(offset + done, slice.data(), length, got, reason)) return result;
    // The file shrank since its size was checked.
    if (got < length) {
      reason = "the file ends before its " + header.SizeText();
      return result;
    }
    Convert(slice.data(), length, start.table, start.image.get() + done * kBytesPerPixel);
  }
  result.pixels = std::move(start.image);
  return result;
}

std::string BaseNameOf(const std::string& materialName) {
  return materialName.substr(0, BaseLength(materialName));
}

std::string FileNameFor(const std::string& materialName) {
  return BaseNameOf(materialName) + ".mip";
}

}  // namespace mip
