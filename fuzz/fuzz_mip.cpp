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
  std::unique_ptr<std::uint8_t[]> pixels;
  int width = -1;
  int height = -1;
  const bool transparent = size > 4 && (data[4] & 1) != 0;
  const int result = mip::Decode(data, size, palette, transparent, pixels, width, height);
  if (result == mip::kDecodeOk) {
    // A decoded image is whole: touch its last pixel so that the sanitizer
    // sees any buffer shorter than width x height x 4.
    if (width < 0 || height < 0 || pixels == nullptr) std::abort();
    const std::size_t bytes = static_cast<std::size_t>(width) * height * mip::kBytesPerPixel;
    if (bytes > 0 && pixels[bytes - 1] != 255 && pixels[bytes - 1] != 0) std::abort();
  } else if (result != mip::kDecodeFailed || pixels != nullptr) {
    std::abort();
  }
  return 0;
}
