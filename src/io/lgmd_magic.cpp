#include "io/lgmd_magic.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

bool HasLgmdMagic(const std::string& path) {
  // A fifo or a device would block or never end; only plain files count.
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char head[sizeof kLgmdMagic] = {};
  const bool read = std::fread(head, 1, sizeof head, file) == sizeof head;
  std::fclose(file);
  return read && std::memcmp(head, kLgmdMagic, sizeof head) == 0;
}
