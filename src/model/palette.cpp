// Palette files and the conversion of material colours for a region.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "io/file_bytes.h"
#include "io/text.h"
#include "model/model.h"
#include "model/palette_text.h"

namespace {

constexpr std::size_t kPaletteSize = 256;
constexpr int kHeaderWords = 3;

// Region 0 keeps the file's colours with red and blue exchanged and paints
// polygons without a material white; every other region snaps the colours
// to the palette and paints them black.
constexpr int kSwapRegion = 0;
constexpr double kSwapDefaultColor = 1.0;
constexpr double kMatchDefaultColor = 0.0;

// A nearest entry must lie closer than this; any colour made of bytes lies
// far closer to every entry made of bytes.
constexpr double kMatchStartDistance = 1e8;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Splits text into runs of non-blank characters, one at a time.
class TokenCursor {
 public:
  explicit TokenCursor(std::string_view text) : m_text(text) {}

  // False at the end of the text.
  bool Next(std::string_view& token) {
    while (m_pos < m_text.size() && IsSpace(m_text[m_pos])) ++m_pos;
    if (m_pos == m_text.size()) return false;
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && !IsSpace(m_text[m_pos])) ++m_pos;
    token = m_text.substr(start, m_pos - start);
    return true;
  }

 private:
  std::string_view m_text;
  std::size_t m_pos = 0;
};

// Reads the next three integers; false when the text ends or a token is not
// an integer before all three are read.
bool ParseTriple(TokenCursor& cursor, int (&triple)[3]) {
  for (int& value : triple) {
    std::string_view token;
    if (!cursor.Next(token) || !ParseInt(token, value)) return false;
  }
  return true;
}

// Colour component as the palette search compares it: the byte it was made
// from. Truncation toward zero gives back exactly b for b * kByteToUnit.
int ColorToByte(float component) {
  const double scaled = static_cast<double>(component) * 255.0;
  // Colours only come from bytes, but keep the conversion defined whatever a
  // caller stored.
  if (!(scaled > -1e6 && scaled < 1e6)) return 0;
  return static_cast<int>(scaled);
}

// Palette values are any ints, so a difference needs 33 bits and the sum of
// three squares up to 65: unsigned 64 bits hold it without overflow.
std::uint64_t Square(std::int64_t v) {
  const std::uint64_t magnitude = static_cast<std::uint64_t>(v < 0 ? -v : v);
  return magnitude * magnitude;
}

}  // namespace

void ParsePaletteText(const char* text, std::size_t size, std::vector<PaletteEntry>& palette) {
  // Entries a short file does not supply stay black, so that both the
  // snapping and the texture conversion can read any of the 256.
  palette.assign(kPaletteSize, PaletteEntry{0, 0, 0});

  TokenCursor cursor(std::string_view(text, size));
  std::string_view word;
  for (int i = 0; i < kHeaderWords; ++i) {
    // The header words are not checked; a file that ends among them simply
    // has no entries.
    if (!cursor.Next(word)) return;
  }

  // A line reads red, green, blue; the entry holds blue, green, red, the
  // order of a BGRA pixel. A triple cut short by the end of the file is not
  // stored, but a complete last line is, with or without its line break.
  int triple[3] = {0, 0, 0};
  for (std::size_t n = 0; n < kPaletteSize && ParseTriple(cursor, triple); ++n) {
    palette[n] = PaletteEntry{triple[2], triple[1], triple[0]};
  }
}

ReadResult CModel::LoadPalette(const std::string& path) {
  ReadResult result;
  std::vector<std::uint8_t> bytes;
  if (!filebytes::ReadFileBytes(path, bytes, result.detail, kMaxPaletteFileSize)) {
    result.error = ReadError::CannotOpen;
    return result;
  }
  ParsePaletteText(reinterpret_cast<const char*>(bytes.data()), bytes.size(), m_vecPalette);
  return result;
}

void CModel::ApplyPalette(int nPalette) {
  // The two decisions differ on purpose: only region 0 swaps, every other
  // index (a hand-edited configuration included) snaps.
  if (nPalette == kSwapRegion) {
    SwapRedBlue();
    m_dDefRed = m_dDefGreen = m_dDefBlue = kSwapDefaultColor;
  } else {
    MatchPaletteColors();
    m_dDefRed = m_dDefGreen = m_dDefBlue = kMatchDefaultColor;
  }
}

void CModel::MatchPaletteColors() {
  const int count = std::min(m_nMaterials, static_cast<int>(m_vecMaterials.size()));
  for (int m = 0; m < count; ++m) {
    Material& material = m_vecMaterials[m];
    const int q[3] = {ColorToByte(material.fColor[0]), ColorToByte(material.fColor[1]),
                      ColorToByte(material.fColor[2])};

    // Strictly closer only, so the lowest index wins a tie. Component k of
    // the colour meets component k of the entry as stored (blue first), the
    // way the textures read the palette too. The sum is exact: for palettes
    // of byte values it equals the 32-bit sum, and odd hand-made values
    // cannot wrap around into a false match.
    double best = kMatchStartDistance;
    const PaletteEntry* chosen = nullptr;
    for (const PaletteEntry& entry : m_vecPalette) {
      const std::uint64_t d = Square(static_cast<std::int64_t>(entry[0]) - q[0]) +
                              Square(static_cast<std::int64_t>(entry[1]) - q[1]) +
                              Square(static_cast<std::int64_t>(entry[2]) - q[2]);
      if (static_cast<double>(d) < best) {
        best = static_cast<double>(d);
        chosen = &entry;
      }
    }
    // No entry within reach (only possible with no palette or absurd values):
    // the colour is left as it is rather than made up.
    if (chosen == nullptr) continue;
    for (int k = 0; k < 3; ++k) {
      material.fColor[k] = static_cast<float>((*chosen)[k] * kByteToUnit);
    }
  }
}
