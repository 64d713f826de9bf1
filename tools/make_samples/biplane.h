// The demo aircraft: a small biplane that shows what the viewer reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lgmd_builder/lgmd_builder.h"

namespace samples {

// Its materials, in file order. Textured materials name their ".mip" file
// after the name up to its last dot; see demo_textures.h for the images.
std::vector<lgmd::BuilderMaterial> BiplaneMaterials();

// The whole model; false with a reason if the geometry cannot be written.
bool BuildBiplane(lgmd::ModelDesc& desc, std::string& error);

}  // namespace samples
