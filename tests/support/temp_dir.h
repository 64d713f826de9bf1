// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  // path / name, as a string.
  std::string File(const std::string& name) const;

 private:
  std::filesystem::path m_path;
};

// The whole content of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Writes a file of `size` bytes holding each piece's bytes at its offset;
// the rest are holes, so a file of gigabytes costs nothing. False on error.
using FilePieces = std::vector<std::pair<std::uint64_t, std::vector<std::uint8_t>>>;
bool WriteSparseFile(const std::string& path, std::uint64_t size, const FilePieces& pieces);
