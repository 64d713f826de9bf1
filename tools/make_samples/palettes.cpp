#include "palettes.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int kEntries = 256;

struct Rgb {
  double r, g, b;
};

// One ramp runs from a dark to a light colour in kRampLength steps.
struct Ramp {
  int first;
  Rgb dark;
  Rgb light;
};

// Colours before the region's tint, shared by both palettes.
constexpr std::array<Ramp, 6> kSharedRamps = {{
    {kSandRampFirst, {70, 52, 30}, {240, 222, 180}},
    {kSkyRampFirst, {20, 50, 110}, {200, 225, 250}},
    {kRedRampFirst, {60, 8, 8}, {250, 110, 95}},
    {kGreenRampFirst, {25, 45, 12}, {170, 200, 110}},
    {kWoodRampFirst, {45, 25, 10}, {200, 150, 95}},
    {kYellowRampFirst, {110, 85, 0}, {255, 245, 140}},
}};

// The region ramp is split in two halves of 16.
constexpr Ramp kSanFranciscoSea = {kRegionRampFirst, {10, 40, 60}, {90, 170, 185}};
constexpr Ramp kSanFranciscoTerracotta = {kRegionRampFirst + 16, {95, 35, 15}, {235, 140, 90}};
constexpr Ramp kSeattleEvergreen = {kRegionRampFirst, {8, 30, 20}, {90, 140, 105}};
constexpr Ramp kSeattleSlate = {kRegionRampFirst + 16, {35, 42, 50}, {160, 172, 182}};

// San Francisco: a warm, sunny light. Seattle: overcast, with colours pulled
// toward grey and a green-blue cast.
Rgb Tint(const Rgb& c, int region) {
  if (region == kRegionSeattle) {
    const double grey = (c.r + c.g + c.b) / 3.0;
    constexpr double kKeep = 0.7;
    return {(grey + (c.r - grey) * kKeep) * 0.90, (grey + (c.g - grey) * kKeep) * 0.98,
            (grey + (c.b - grey) * kKeep) * 1.02};
  }
  return {c.r * 1.06, c.g * 1.0, c.b * 0.90};
}

int ToByte(double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0))); }

void FillRamp(std::array<Rgb, kEntries>& palette, const Ramp& ramp, int length) {
  for (int i = 0; i < length; ++i) {
    const double t = length > 1 ? static_cast<double>(i) / (length - 1) : 0.0;
    palette[ramp.first + i] = {ramp.dark.r + (ramp.light.r - ramp.dark.r) * t,
                               ramp.dark.g + (ramp.light.g - ramp.dark.g) * t,
                               ramp.dark.b + (ramp.light.b - ramp.dark.b) * t};
  }
}

}  // namespace

// Any region other than Seattle gets the San Francisco palette, as the
// program itself loads "sanfran.pal" for every index but 1.
std::string MakePaletteText(int region) {
  std::array<Rgb, kEntries> palette{};
  FillRamp(palette, {kGreyRampFirst, {12, 12, 12}, {255, 255, 255}}, kRampLength - 1);
  for (const Ramp& ramp : kSharedRamps) FillRamp(palette, ramp, kRampLength);
  const bool seattle = region == kRegionSeattle;
  FillRamp(palette, seattle ? kSeattleEvergreen : kSanFranciscoSea, kRampLength / 2);
  FillRamp(palette, seattle ? kSeattleSlate : kSanFranciscoTerracotta, kRampLength / 2);

  std::string text = "JASC-PAL\n0100\n256\n";
  for (int i = 0; i < kEntries; ++i) {
    // Index 0 stays pure black in both regions: it is the hole of
    // transparent textures and should not tint their edges.
    const Rgb c = i == 0 ? Rgb{0, 0, 0} : Tint(palette[i], region);
    text += std::to_string(ToByte(c.r)) + ' ' + std::to_string(ToByte(c.g)) + ' ' +
            std::to_string(ToByte(c.b)) + '\n';
  }
  return text;
}
