// The two palettes of the simulator's scenery regions and the files that
// hold them. Only region 1 is Seattle: every other index, a hand-edited
// configuration's included, loads the San Francisco file (and is still
// applied as a region other than 0, see CModel::ApplyPalette).
#pragma once

#include <array>

inline constexpr int kSanFranciscoRegion = 0;
inline constexpr int kSeattleRegion = 1;

// Both files, in region order; their presence also tells where the
// program's data lives (platform/install_layout.h).
inline constexpr std::array<const char*, 2> kPaletteFileNames = {"sanfran.pal", "seattle.pal"};

inline const char* PaletteFileName(int nPalette) {
  return kPaletteFileNames[nPalette == kSeattleRegion ? kSeattleRegion : kSanFranciscoRegion];
}
