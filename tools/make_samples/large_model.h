// The largest model the LGMD format can hold, for benchmarks and for tests
// of the reader's limits. It is generated on demand, never committed.
#pragma once

#include <string>

#include "lgmd_builder/lgmd_builder.h"

namespace samples {

// 32767 vertices, 32767 four-cornered polygons, 16 sub-objects and 255
// materials, every index valid: sixteen tori, one per sub-object.
bool BuildLargeModel(lgmd::ModelDesc& desc, std::string& error);

}  // namespace samples
