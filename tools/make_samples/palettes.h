// The two demo palettes that ship with the program, one for each scenery
// region. Both share one index layout, so a texture drawn with these
// indices looks right through either palette, warm in one region and cool
// in the other:
//
//     0         black; the hole in "t_" textures
//     1 -  31   greys, dark to white
//    32 -  63   sand and tan
//    64 -  95   sky blue
//    96 - 127   red
//   128 - 159   green and olive
//   160 - 191   wood browns
//   192 - 223   yellow
//   224 - 255   the region's own: sea and terracotta (San Francisco),
//               evergreen and slate (Seattle)
#pragma once

#include <string>

// Region index as the configuration's "Region": 0 San Francisco
// ("sanfran.pal"), 1 Seattle ("seattle.pal").
inline constexpr int kRegionSanFrancisco = 0;
inline constexpr int kRegionSeattle = 1;

// The first index of each ramp and the number of indices in it.
inline constexpr int kRampLength = 32;
inline constexpr int kGreyRampFirst = 1;  // one shorter: index 0 is black
inline constexpr int kSandRampFirst = 32;
inline constexpr int kSkyRampFirst = 64;
inline constexpr int kRedRampFirst = 96;
inline constexpr int kGreenRampFirst = 128;
inline constexpr int kWoodRampFirst = 160;
inline constexpr int kYellowRampFirst = 192;
inline constexpr int kRegionRampFirst = 224;

// The text of the palette file of region: three header words, then 256
// lines "red green blue", each ending in a line break.
std::string MakePaletteText(int region);
