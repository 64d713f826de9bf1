#include "demo_textures.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "lgmd_builder/lgmd_builder.h"
#include "palettes.h"

namespace samples {

namespace {

constexpr double kPi = std::numbers::pi;

// Index of a level (0 dark .. 31 light) in the ramp starting at first,
// clamped into the ramp; the grey ramp is one shorter as index 0 is black.
std::uint8_t Shade(int first, int level) {
  const int length = first == kGreyRampFirst ? kRampLength - 1 : kRampLength;
  return static_cast<std::uint8_t>(first + std::clamp(level, 0, length - 1));
}

// A fixed pseudo-random value -1, 0 or 1 per pixel: the grain of cloth and
// wood, the same on every run.
int Grain(int x, int y, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x9E3779B1u ^
                    static_cast<std::uint32_t>(y) * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  return static_cast<int>(h % 3u) - 1;
}

// Plain weave: alternate threads a shade apart, with a little grain. It
// tiles, as the coordinates of a wing run over many copies.
int Weave(int x, int y, std::uint32_t seed) { return ((x + y) & 1) + Grain(x, y, seed); }

using PixelFn = std::function<std::uint8_t(int x, int y)>;

MipFile Draw(std::string fileName, int width, int height, const PixelFn& pixel) {
  std::vector<std::uint8_t> indices;
  indices.reserve(static_cast<std::size_t>(width * height));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) indices.push_back(pixel(x, y));
  }
  return {std::move(fileName), lgmd::BuildMip(static_cast<std::int16_t>(width),
                                              static_cast<std::int16_t>(height), indices)};
}

constexpr int kFabricLevel = 21;

// Yellow doped linen with a rib every copy (column 0) and a row of
// stitches beside it.
std::uint8_t Fabric(int x, int y) {
  if (x <= 1) return Shade(kYellowRampFirst, 12);
  if (x == 63) return Shade(kYellowRampFirst, 16);
  if (x == 3 && y % 4 == 0) return Shade(kYellowRampFirst, 27);
  return Shade(kYellowRampFirst, kFabricLevel + Weave(x, y, 1));
}

// Dark blue fuselage fabric; the texture goes once round the body, and
// rows 26-29 and 58-61 fall on the middle of the two flat sides, where a
// red line runs the length of the aircraft.
std::uint8_t Hull(int x, int y) {
  if ((y >= 26 && y <= 29) || (y >= 58 && y <= 61)) {
    return Shade(kRedRampFirst, 18 + Grain(x, y, 2));
  }
  if (x <= 1) return Shade(kSkyRampFirst, 2);
  return Shade(kSkyRampFirst, 6 + Weave(x, y, 3));
}

// Wood grain running along the blade (the texture's u).
std::uint8_t Wood(int x, int y) {
  const double wave = std::sin(2 * kPi * (y / 64.0 * 6.0 + 0.25 * std::sin(2 * kPi * x / 32.0)));
  return Shade(kWoodRampFirst, 15 + static_cast<int>(std::lround(5 * wave)) + Grain(x, y, 4));
}

// Blue, white and red rings on the wing fabric.
std::uint8_t Roundel(int x, int y) {
  const double r = std::hypot(x - 31.5, y - 31.5);
  if (r < 9) return Shade(kRedRampFirst, 18);
  if (r < 19) return Shade(kGreyRampFirst, 29);
  if (r < 29) return Shade(kSkyRampFirst, 8);
  return Shade(kYellowRampFirst, kFabricLevel + Weave(x, y, 1));
}

// Across the fin's chord (u from leading to trailing edge): tail fabric,
// then blue, white and red stripes on the rudder.
std::uint8_t Rudder(int x, int y) {
  const double along = x / 64.0;
  if (along < 0.55) return Shade(kYellowRampFirst, kFabricLevel + Weave(x, y, 1));
  if (along < 0.7) return Shade(kSkyRampFirst, 8 + Grain(x, y, 5));
  if (along < 0.85) return Shade(kGreyRampFirst, 29 + Grain(x, y, 6));
  return Shade(kRedRampFirst, 18 + Grain(x, y, 7));
}

// A framed pane, see-through (index 0) inside, with one glint.
std::uint8_t Screen(int x, int y) {
  constexpr int kSize = 32, kFrame = 2;
  if (x < kFrame || y < kFrame || x >= kSize - kFrame || y >= kSize - kFrame) {
    return Shade(kGreyRampFirst, 9);
  }
  const int d = x - y;
  if ((d == 6 || d == 7) && x > 8 && x < 24) return Shade(kGreyRampFirst, 27);
  return 0;
}

// A leather flying helmet: brown with seams, and a band of goggles with
// two grey lenses across the middle.
std::uint8_t Pilot(int x, int y) {
  if (y >= 12 && y <= 17) {
    const bool lens = std::hypot(x - 9.5, y - 14.5) < 4 || std::hypot(x - 22.5, y - 14.5) < 4;
    return lens ? Shade(kGreyRampFirst, 24) : Shade(kGreyRampFirst, 6);
  }
  if (x == 15 || x == 16) return Shade(kWoodRampFirst, 4);
  return Shade(kWoodRampFirst, 9 + Grain(x, y, 8));
}

}  // namespace

std::vector<MipFile> DemoTextures() {
  std::vector<MipFile> files;
  files.push_back(Draw("fabric.mip", 64, 64, Fabric));
  files.push_back(Draw("hull.mip", 64, 64, Hull));
  files.push_back(Draw("wood.mip", 32, 64, Wood));
  files.push_back(Draw("Roundel.MIP", 64, 64, Roundel));
  files.push_back(Draw("rudder.mip", 64, 64, Rudder));
  files.push_back(Draw("t_screen.mip", 32, 32, Screen));
  files.push_back(Draw("pilot.mip", 32, 32, Pilot));
  return files;
}

}  // namespace samples
