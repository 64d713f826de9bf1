// Pictures into ".mip" textures: every pixel to the palette entry that
// looks nearest (measured in CIELAB, where distance follows what the eye
// sees far better than in RGB), optionally with Floyd-Steinberg error
// diffusion, and the file's bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/model.h"

namespace mip {

// The largest side a ".mip" header can hold (a signed 16-bit value).
inline constexpr int kMaxHeaderSide = 32767;

struct QuantizeOptions {
  bool dither = false;
  // The texture belongs to a see-through ("t_") material: index 0 shows as
  // a hole there, so opaque pixels take the nearest of the other entries.
  bool seeThrough = false;
};

// rgba holds width x height pixels, the first row first. A pixel whose
// alpha is below half goes to index 0, the index a see-through material
// shows as a hole; every other pixel to the nearest of the palette's
// entries (blue, green, red each), the lowest index among equals. A
// palette shorter than 256 entries offers only the entries it has.
std::vector<std::uint8_t> QuantizeToPalette(const std::vector<std::uint8_t>& rgba, int width,
                                            int height, const std::vector<PaletteEntry>& palette,
                                            const QuantizeOptions& options);

// The bytes of a ".mip" file: the 12-byte header (pixel data right after
// it) and the indices. The caller has checked the sides against
// kMaxHeaderSide.
std::vector<std::uint8_t> EncodeMip(int width, int height,
                                    const std::vector<std::uint8_t>& indices);

// Whether a texture file's name marks it as the texture of a see-through
// material: the viewer finds a material's texture by its name, and names
// beginning "t_" or "T_" are see-through.
bool IsSeeThroughFileName(const std::string& path);

}  // namespace mip
