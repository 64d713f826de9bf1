// PNG encoding of pictures and of the images an export carries, in memory.
#pragma once

#include <cstdint>
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
