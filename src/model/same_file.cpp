#include "model/same_file.h"

#include <sys/stat.h>

bool IsSameFile(const std::string& path, const std::string& modelPath) {
  if (path.empty() || modelPath.empty()) return false;
  struct stat a {};
  struct stat b {};
  if (stat(path.c_str(), &a) != 0 || stat(modelPath.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

const safewrite::OutputFile* FindFileOverModel(const std::vector<safewrite::OutputFile>& files,
                                               const std::string& modelPath) {
  for (const safewrite::OutputFile& file : files) {
    if (IsSameFile(file.path, modelPath)) return &file;
  }
  return nullptr;
}
