// Reading back what the current OpenGL context drew, for pictures written
// to files: the headless renderer's and the window's File > Save Picture.
#pragma once

#include <cstdint>
#include <vector>

namespace render {

// The width x height pixels of the buffer being drawn into (the back
// buffer before it is swapped), as 8-bit rows with the top row first:
// RGB for 3 channels, RGBA for 4. Empty for a size that is not positive.
std::vector<std::uint8_t> ReadDrawBuffer(int width, int height, int channels);

}  // namespace render
