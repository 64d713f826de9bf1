// Palette text of any content: the parser, then the two readers of its
// values, colour snapping and texture decoding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "model/mip_file.h"
#include "model/model.h"
#include "model/palette_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CModel model;
  ParsePaletteText(reinterpret_cast<const char*>(data), size, model.Palette());
  if (model.Palette().size() != 256) std::abort();

  // A few colours made from the input's first bytes, as the reader makes
  // them, snapped to whatever values the text held.
  for (std::size_t i = 0; i < 3; ++i) {
    Material m;
    for (std::size_t k = 0; k < 3; ++k) {
      const std::size_t at = i * 3 + k;
      m.fColor[k] = static_cast<float>((at < size ? data[at] : 0) * kByteToUnit);
    }
    model.Materials().push_back(m);
  }
  model.MaterialCount() = 3;
  model.MatchPaletteColors();

  // Every index of an image through that palette.
  std::vector<std::uint8_t> indices(256);
  for (int i = 0; i < 256; ++i) indices[i] = static_cast<std::uint8_t>(i);
  std::vector<std::uint8_t> file = {12, 0, 0, 0, 0, 0, 0, 0, 16, 0, 16, 0};
  file.insert(file.end(), indices.begin(), indices.end());
  std::unique_ptr<std::uint8_t[]> pixels;
  int width = 0;
  int height = 0;
  if (mip::Decode(file.data(), file.size(), model.Palette(), size % 2 == 1, pixels, width,
                  height) != mip::kDecodeOk) {
    std::abort();
  }
  return 0;
}
