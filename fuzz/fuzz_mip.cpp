// ".mip" files of any content through the decoder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "model/mip_file.h"
#include "model/model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<PaletteEntry> palette = [] {
    std::vector<PaletteEntry> p(256);
    for (int i = 0; i < 256; ++i) p[i] = {i, 300 + i, -i};
    return p;
  }();
  const bool transparent = size > 4 && (data[4] & 1) != 0;
  const mip::MipImage image = mip::Decode(data, size, palette, transparent);
  if (image.ok()) {
    // A decoded image is whole: touch its last pixel so that the sanitizer
    // sees any buffer shorter than width x height x 4.
    if (image.width < 0 || image.height < 0 || !image.reason.empty()) std::abort();
    const std::size_t bytes =
        static_cast<std::size_t>(image.width) * image.height * mip::kBytesPerPixel;
    if (bytes > 0 && image.pixels[bytes - 1] != 255 && image.pixels[bytes - 1] != 0) std::abort();
  } else if (image.reason.empty()) {
    std::abort();
  }
  return 0;
}
