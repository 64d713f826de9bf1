#include "io/path_parts.h"

#include "io/system_path.h"

using syspath::kSeparators;

std::string DirectoryOf(const std::string& path) {
  const std::string::size_type slash = path.find_last_of(kSeparators);
  if (slash == std::string::npos) return ".";
  // Cutting "/plane.bin" before its slash would leave no directory at all.
  if (slash == 0) return path.substr(0, 1);
#ifdef _WIN32
  // Nor would "C:\plane.bin": "C:" alone is the drive's working directory.
  if (slash == 2 && path[1] == ':') return path.substr(0, 3);
#endif
  return path.substr(0, slash);
}

std::string PathStem(const std::string& outPath) {
  const std::string::size_type slash = outPath.find_last_of(kSeparators);
  const std::string::size_type dot = outPath.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return outPath;
  return outPath.substr(0, dot);
}

std::string FileNamePart(const std::string& path) {
  const std::string::size_type slash = path.find_last_of(kSeparators);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
