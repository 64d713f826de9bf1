// The ".mip" texture file: a 12-byte header (pixel data offset, 4 unused
// bytes, signed 16-bit width and height, little-endian) and width x height
// palette indices, row 0 first. Decoding turns the indices into BGRA pixels
// through a palette; it needs no OpenGL, so it can run headless and be
// tested on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "io/file_bytes.h"
#include "model/model.h"

namespace mip {

inline constexpr std::size_t kHeaderSize = 12;
inline constexpr int kBytesPerPixel = 4;  // blue, green, red, alpha

// A decoded ".mip" file: width x height BGRA pixels, or why there are
// none. width and height are the header's values whenever the header is
// complete, even when the file then fails.
struct MipImage {
  std::unique_ptr<std::uint8_t[]> pixels;
  int width = 0;
  int height = 0;
  std::string reason;  // empty when decoded

  bool ok() const { return pixels != nullptr; }
};

// Decodes a whole ".mip" file held in data. Each pixel takes blue, green
// and red from the palette entry of its index, each the low 8 bits of the
// stored value; alpha is 0 for index 0 when transparent is true, 255
// otherwise. Indices the palette does not hold read as black.
//
// Refused, with the reason, when the header is incomplete, width or height
// is negative or 0 (an empty image is no texture), a side is longer than
// maxSide, or the width x height indices do not lie within data from the
// pixel data offset on. These checks come before any allocation.
MipImage Decode(const std::uint8_t* data, std::size_t size,
                const std::vector<PaletteEntry>& palette, bool transparent,
                int maxSide = kHeadlessMaxTextureSide);

// The same for a file: only its header and its pixel indices are read, the
// indices a slice at a time, so the memory taken is the image's and no more.
// A read error or a lack of memory is a refusal like the others.
MipImage DecodeFile(const filebytes::CInputFile& file, const std::vector<PaletteEntry>& palette,
                    bool transparent, int maxSide);

// The name of the texture file of a material: the material's name without
// the part from its last '.' on, then ".mip".
std::string FileNameFor(const std::string& materialName);

// The part of FileNameFor before ".mip".
std::string BaseNameOf(const std::string& materialName);

// The heading the user sees above the list of texture files that could not
// be read (the list itself starts with a line break).
inline constexpr const char* kMissingTexturesHeading = "Missing Textures:\r\n";

}  // namespace mip
