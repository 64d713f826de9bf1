#include "model/png_image.h"

#include <cstddef>
#include <limits>

// The same encoder the render command uses, compiled privately here: its
// functions stay static, so the two copies never meet at link time.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

constexpr int kRgbaChannels = 4;

void AppendBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(context);
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

bool EncodePngRgba(const std::vector<std::uint8_t>& rgba, int width, int height,
                   std::vector<std::uint8_t>& png) {
  png.clear();
  if (width <= 0 || height <= 0) return false;
  // The encoder takes the row length as an int.
  if (width > std::numeric_limits<int>::max() / kRgbaChannels) return false;
  const std::size_t needed = static_cast<std::size_t>(width) * height * kRgbaChannels;
  if (rgba.size() < needed) return false;
  const int ok = stbi_write_png_to_func(AppendBytes, &png, width, height, kRgbaChannels,
                                        rgba.data(), width * kRgbaChannels);
  if (ok == 0) png.clear();
  return !png.empty();
}
