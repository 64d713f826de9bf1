#include "io/path_parts.h"

std::string DirectoryOf(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  // Cutting "/plane.bin" before its slash would leave no directory at all.
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string PathStem(const std::string& outPath) {
  const std::string::size_type slash = outPath.rfind('/');
  const std::string::size_type dot = outPath.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return outPath;
  return outPath.substr(0, dot);
}

std::string FileNamePart(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
