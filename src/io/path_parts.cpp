#include "io/path_parts.h"

std::string DirectoryOf(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  // Cutting "/plane.bin" before its slash would leave no directory at all.
  if (slash == 0) return "/";
  return path.substr(0, slash);
}
