// The two palettes of the simulator's scenery regions and the files that
// hold them. Only region 1 is Seattle: every other index, a hand-edited
// configuration's included, loads the San Francisco file (and is still
// applied as a region other than 0, see CModel::ApplyPalette).
#pragma once

inline constexpr int kSanFranciscoRegion = 0;
inline constexpr int kSeattleRegion = 1;

inline const char* PaletteFileName(int nPalette) {
  return nPalette == kSeattleRegion ? "seattle.pal" : "sanfran.pal";
}
