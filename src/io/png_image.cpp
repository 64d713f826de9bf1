#include "io/png_image.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string>

namespace {

// A middle zlib level with every row filtered against the one above: the
// pictures are large even areas and smooth shading, which this keeps about
// as small as the slowest settings at a third of their time.
constexpr int kCompressionLevel = 3;

void AppendBytes(png_structp writer, png_bytep data, png_size_t size) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(writer));
  out->insert(out->end(), data, data + size);
}

void NoFlush(png_structp) {}

// libpng reports its errors by jumping back to the caller's setjmp; the
// frame that calls setjmp holds no objects with destructors.
bool Encode(const std::uint8_t* pixels, int width, int height, int channels,
            std::vector<std::uint8_t>& png) {
  png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (writer == nullptr) return false;
  png_infop info = png_create_info_struct(writer);
  if (info == nullptr || setjmp(png_jmpbuf(writer)) != 0) {
    png_destroy_write_struct(&writer, &info);
    return false;
  }
  png_set_write_fn(writer, &png, AppendBytes, NoFlush);
  png_set_compression_level(writer, kCompressionLevel);
  png_set_filter(writer, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  png_set_IHDR(writer, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  png_write_info(writer, info);
  const std::size_t row = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
  for (int y = 0; y < height; ++y) {
    png_write_row(writer, pixels + row * static_cast<std::size_t>(y));
  }
  png_write_end(writer, info);
  png_destroy_write_struct(&writer, &info);
  return true;
}

}  // namespace

bool EncodePng(const std::vector<std::uint8_t>& pixels, int width, int height, int channels,
               std::vector<std::uint8_t>& png) {
  png.clear();
  if (width <= 0 || height <= 0 || (channels != 3 && channels != 4)) return false;
  // The format keeps sides in 31 bits.
  constexpr int kMaxSide = std::numeric_limits<std::int32_t>::max();
  if (width > kMaxSide / channels) return false;
  const std::size_t needed = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                             static_cast<std::size_t>(channels);
  if (pixels.size() < needed) return false;
  if (!Encode(pixels.data(), width, height, channels, png)) png.clear();
  return !png.empty();
}

bool DecodePngRgba(const std::vector<std::uint8_t>& png, int maxSide,
                   std::vector<std::uint8_t>& rgba, int& width, int& height,
                   std::string& strReason) {
  rgba.clear();
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_memory(&image, png.data(), png.size()) == 0) {
    strReason = std::string("not a PNG picture (") + image.message + ")";
    return false;
  }
  width = static_cast<int>(std::min<png_uint_32>(image.width, std::numeric_limits<int>::max()));
  height = static_cast<int>(std::min<png_uint_32>(image.height, std::numeric_limits<int>::max()));
  if (width > maxSide || height > maxSide) {
    png_image_free(&image);
    strReason = std::to_string(image.width) + " x " + std::to_string(image.height) +
                " pixels, larger than " + std::to_string(maxSide) + " pixels a side";
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  rgba.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr) == 0) {
    strReason = std::string("a damaged PNG picture (") + image.message + ")";
    rgba.clear();
    return false;
  }
  return true;
}
