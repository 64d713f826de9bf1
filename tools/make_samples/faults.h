// The fault samples: files that show the viewer's messages, kept apart from
// the demo so that the demo opens cleanly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace samples {

struct FaultFile {
  std::string fileName;
  std::vector<std::uint8_t> bytes;
};

// "missing_texture.bin", a board whose texture file "canvas.mip" is not
// there ("Missing Textures"); "truncated.bin", the demo model cut off in its
// polygon section ("Error Loading Model" with the offset); "not_a_model.bin",
// a text file with a model's extension (refused by its first bytes).
// demoModel is the demo's model file, from which the truncated one is cut.
std::vector<FaultFile> FaultFiles(const std::vector<std::uint8_t>& demoModel);

}  // namespace samples
