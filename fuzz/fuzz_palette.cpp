// Palette text of any content: the parser, then the two readers of its
// values, colour snapping and texture decoding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "model/mip_file.h"
#include "model/model.h"
#include "model/palette_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<PaletteEntry> palette;
  ParsePaletteText(reinterpret_cast<const char*>(data), size, palette);
  if (palette.size() != 256) std::abort();
  CModel model;
  model.SetPalette(palette);

  // A few colours made from the input's first bytes, as the reader makes
  // them, snapped to whatever values the text held.
  ModelContent content;
  for (std::size_t i = 0; i < 3; ++i) {
    Material m;
    for (std::size_t k = 0; k < 3; ++k) {
      const std::size_t at = i * 3 + k;
      m.fColor[k] = static_cast<float>((at < size ? data[at] : 0) * kByteToUnit);
    }
    content.m_vecMaterials.push_back(m);
  }
  content.m_nMaterials = 3;
  model.Assign(std::move(content));
  model.MatchPaletteColors();

  // Every index of an image through that palette.
  std::vector<std::uint8_t> indices(256);
  for (int i = 0; i < 256; ++i) indices[i] = static_cast<std::uint8_t>(i);
  std::vector<std::uint8_t> file = {12, 0, 0, 0, 0, 0, 0, 0, 16, 0, 16, 0};
  file.insert(file.end(), indices.begin(), indices.end());
  if (!mip::Decode(file.data(), file.size(), model.Palette(), size % 2 == 1).ok()) std::abort();
  return 0;
}
