#include "io/lgmd_magic.h"

#include <cstdint>
#include <cstring>

#include "io/file_bytes.h"

bool HasLgmdMagic(const std::string& path) {
  // A fifo or a device would block or never end; only plain files count,
  // which the input file sees to.
  filebytes::CInputFile file;
  std::string error;
  if (!file.Open(path, error)) return false;
  std::uint8_t head[sizeof kLgmdMagic] = {};
  std::size_t got = 0;
  return file.ReadAt(0, head, sizeof head, got, error) && got == sizeof head &&
         std::memcmp(head, kLgmdMagic, sizeof head) == 0;
}
