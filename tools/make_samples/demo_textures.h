// The ".mip" textures of the demo aircraft, drawn in code with indices from
// the demo palettes' ramps, so that they look right in either region.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace samples {

struct MipFile {
  std::string fileName;  // as stored on disk
  std::vector<std::uint8_t> bytes;
};

// Every texture file the demo ships, one for each texture the model names;
// the roundel is stored as "Roundel.MIP" though its material is "roundel",
// as texture sets copied from a case-blind file system often are.
std::vector<MipFile> DemoTextures();

}  // namespace samples
