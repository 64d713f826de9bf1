// PNG encoding of the images an export carries, in memory.
#pragma once

#include <cstdint>
#include <vector>

// Encodes width x height RGBA pixels, the first row at the top of the
// picture. False when the size is not positive, rgba is too short, or the
// encoder fails; png is then empty.
bool EncodePngRgba(const std::vector<std::uint8_t>& rgba, int width, int height,
                   std::vector<std::uint8_t>& png);
