#include "model/texture_convert.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <unordered_map>

#include "io/byte_writer.h"
#include "io/path_parts.h"
#include "model/lgmd_layout.h"

namespace mip {

namespace {

constexpr std::size_t kPixelDataOffset = 12;
constexpr std::uint8_t kHalfAlpha = 128;
constexpr std::uint8_t kHoleIndex = 0;

struct Lab {
  double l = 0.0, a = 0.0, b = 0.0;
};

// sRGB bytes to linear light, once for every byte value.
const std::array<double, 256>& LinearOfByte() {
  static const std::array<double, 256> table = [] {
    std::array<double, 256> t{};
    for (int i = 0; i < 256; ++i) {
      const double c = i / 255.0;
      t[static_cast<std::size_t>(i)] =
          c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
    return t;
  }();
  return table;
}

double LabCurve(double t) {
  constexpr double kDelta = 6.0 / 29.0;
  return t > kDelta * kDelta * kDelta ? std::cbrt(t) : t / (3.0 * kDelta * kDelta) + 4.0 / 29.0;
}

// sRGB to CIELAB under the D65 white point that sRGB is defined for.
Lab ToLab(int red, int green, int blue) {
  const auto& lin = LinearOfByte();
  const double r = lin[static_cast<std::size_t>(red)];
  const double g = lin[static_cast<std::size_t>(green)];
  const double b = lin[static_cast<std::size_t>(blue)];
  const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047;
  const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
  const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883;
  const double fx = LabCurve(x), fy = LabCurve(y), fz = LabCurve(z);
  return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

// The palette in CIELAB, and the nearest entry of each colour asked for,
// remembered: textures repeat their colours a great deal.
class NearestColour {
 public:
  NearestColour(const std::vector<PaletteEntry>& palette, bool seeThrough)
      : m_first(seeThrough ? 1 : 0) {
    const std::size_t count = std::min<std::size_t>(palette.size(), 256);
    for (std::size_t i = 0; i < count; ++i) {
      // The decoder shows the low 8 bits of each stored value.
      const PaletteEntry& e = palette[i];
      m_rgb.push_back({e[2] & 0xFF, e[1] & 0xFF, e[0] & 0xFF});
      m_lab.push_back(ToLab(e[2] & 0xFF, e[1] & 0xFF, e[0] & 0xFF));
    }
  }

  std::uint8_t Index(int red, int green, int blue) {
    const std::uint32_t key = static_cast<std::uint32_t>(red << 16 | green << 8 | blue);
    const auto [it, fresh] = m_cache.try_emplace(key, kHoleIndex);
    if (fresh) it->second = Search(ToLab(red, green, blue));
    return it->second;
  }

  // The colour the viewer shows for an index.
  const std::array<int, 3>& Rgb(std::uint8_t index) const { return m_rgb[index]; }

 private:
  std::uint8_t Search(const Lab& c) const {
    std::size_t best = m_first < m_lab.size() ? m_first : 0;
    double bestDistance = -1.0;
    for (std::size_t i = m_first; i < m_lab.size(); ++i) {
      const double dl = m_lab[i].l - c.l, da = m_lab[i].a - c.a, db = m_lab[i].b - c.b;
      const double d = dl * dl + da * da + db * db;
      if (bestDistance < 0.0 || d < bestDistance) {
        bestDistance = d;
        best = i;
      }
    }
    return static_cast<std::uint8_t>(best);
  }

  std::size_t m_first;
  std::vector<std::array<int, 3>> m_rgb;
  std::vector<Lab> m_lab;
  std::unordered_map<std::uint32_t, std::uint8_t> m_cache;
};

int ClampByte(double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0))); }

// Floyd-Steinberg: each opaque pixel's error (what it wanted minus the
// palette colour it got) goes 7/16 to the right, 3/16 below left, 5/16
// below and 1/16 below right. Holes neither take nor pass on error.
void Diffuse(const std::vector<std::uint8_t>& rgba, int width, int height, NearestColour& nearest,
             std::vector<std::uint8_t>& indices) {
  const auto w = static_cast<std::size_t>(width);
  std::vector<double> row((w + 2) * 3, 0.0), below((w + 2) * 3, 0.0);
  for (int y = 0; y < height; ++y) {
    std::fill(below.begin(), below.end(), 0.0);
    for (std::size_t x = 0; x < w; ++x) {
      const std::size_t p = static_cast<std::size_t>(y) * w + x;
      const std::uint8_t* px = &rgba[p * 4];
      if (px[3] < kHalfAlpha) {
        indices[p] = kHoleIndex;
        continue;
      }
      double want[3];
      int got[3];
      for (int k = 0; k < 3; ++k) {
        want[k] = px[k] + row[(x + 1) * 3 + static_cast<std::size_t>(k)];
        got[k] = ClampByte(want[k]);
      }
      indices[p] = nearest.Index(got[0], got[1], got[2]);
      const auto& shown = nearest.Rgb(indices[p]);
      for (std::size_t k = 0; k < 3; ++k) {
        const double error = want[k] - shown[k];
        row[(x + 2) * 3 + k] += error * 7.0 / 16.0;
        below[x * 3 + k] += error * 3.0 / 16.0;
        below[(x + 1) * 3 + k] += error * 5.0 / 16.0;
        below[(x + 2) * 3 + k] += error * 1.0 / 16.0;
      }
    }
    std::swap(row, below);
  }
}

}  // namespace

std::vector<std::uint8_t> QuantizeToPalette(const std::vector<std::uint8_t>& rgba, int width,
                                            int height, const std::vector<PaletteEntry>& palette,
                                            const QuantizeOptions& options) {
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  std::vector<std::uint8_t> indices(count, kHoleIndex);
  if (palette.empty() || rgba.size() < count * 4) return indices;
  NearestColour nearest(palette, options.seeThrough);
  if (options.dither) {
    Diffuse(rgba, width, height, nearest, indices);
    return indices;
  }
  for (std::size_t p = 0; p < count; ++p) {
    const std::uint8_t* px = &rgba[p * 4];
    indices[p] = px[3] < kHalfAlpha ? kHoleIndex : nearest.Index(px[0], px[1], px[2]);
  }
  return indices;
}

std::vector<std::uint8_t> EncodeMip(int width, int height,
                                    const std::vector<std::uint8_t>& indices) {
  ByteWriter out(kPixelDataOffset + indices.size());
  out.I32(static_cast<std::int32_t>(kPixelDataOffset));
  out.Zeros(4);
  out.I16(static_cast<std::int16_t>(width));
  out.I16(static_cast<std::int16_t>(height));
  out.Bytes(indices.data(), indices.size());
  return out.Take();
}

bool IsSeeThroughFileName(const std::string& path) {
  return lgmdfile::IsTransparentTextureName(FileNamePart(path));
}

}  // namespace mip
