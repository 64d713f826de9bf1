// PNG encoding of pictures and of the images an export carries, and the
// decoding of pictures made into textures, in memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Encodes width x height pixels of `channels` bytes each (3: RGB, 4:
// RGBA), the first row at the top of the picture. False when the size is
// not positive, the channel count is neither, pixels is too short, or the
// encoder fails; png is then empty.
bool EncodePng(const std::vector<std::uint8_t>& pixels, int width, int height, int channels,
               std::vector<std::uint8_t>& png);

inline bool EncodePngRgba(const std::vector<std::uint8_t>& rgba, int width, int height,
                          std::vector<std::uint8_t>& png) {
  return EncodePng(rgba, width, height, 4, png);
}

// Decodes a PNG of any colour type and depth into 8-bit RGBA rows, the
// first row at the top. The picture's size is looked at before its pixels
// are: a side longer than maxSide is refused without decoding. False with
// the reason in strReason (the decoder's own words for a damaged file).
bool DecodePngRgba(const std::vector<std::uint8_t>& png, int maxSide,
                   std::vector<std::uint8_t>& rgba, int& width, int& height,
                   std::string& strReason);
