// Text of any content as "zorvik.cfg". Besides the sanitizers' checks: the
// items are read in order, so a later setting is found only when every
// earlier one was, and decoding a directory never lengthens it.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "doc/config.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ConfigValues values = ParseConfigText(text);
  Require(!values.red || values.palette);
  Require(!values.green || values.red);
  Require(!values.blue || values.green);
  if (values.lastOpenDir) {
    Require(values.lastOpenDir->empty() || values.blue);
    Require(values.lastOpenDir->size() <= size);
  }
  return 0;
}
