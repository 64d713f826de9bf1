#include "io/printable_name.h"

namespace {

constexpr unsigned kFirstPrintable = 0x20;
constexpr unsigned kDelete = 0x7F;
// Latin-1 keeps 0x80 to 0x9F for the second set of control codes, which some
// terminals obey as well.
constexpr unsigned kFirstHigh = 0x80;
constexpr unsigned kFirstHighPrintable = 0xA0;
constexpr char kHexDigits[] = "0123456789abcdef";

bool IsControl(unsigned byte) {
  return byte < kFirstPrintable || byte == kDelete ||
         (byte >= kFirstHigh && byte < kFirstHighPrintable);
}

}  // namespace

std::string PrintableName(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsControl(byte)) {
      text += "\\x";
      text += kHexDigits[byte >> 4];
      text += kHexDigits[byte & 0xF];
    } else if (byte < kFirstHigh) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | (byte >> 6));
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}
