#include "support/temp_dir.h"

#include <cstdlib>
#ifdef _WIN32
#include <process.h>
#endif
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
// No mkdtemp: a name of the process and a counter, created exclusively.
ScopedTempDir::ScopedTempDir() {
  static unsigned counter = 0;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path dir =
        base / ("zorvik-test-" + std::to_string(_getpid()) + "-" + std::to_string(counter++));
    std::error_code ec;
    if (std::filesystem::create_directory(dir, ec)) {
      m_path = dir;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}
#else
ScopedTempDir::ScopedTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zorvik-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("cannot create a temporary directory");
  m_path = pattern;
}
#endif

ScopedTempDir::~ScopedTempDir() {
  std::error_code ec;
  // Tests make directories read-only; give the rights back so that removal works.
  for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(m_path, ec);
}

std::string ScopedTempDir::File(const std::string& name) const { return (m_path / name).string(); }

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteSparseFile(const std::string& path, std::uint64_t size, const FilePieces& pieces) {
  std::ofstream(path, std::ios::binary | std::ios::trunc);
  std::error_code ec;
  std::filesystem::resize_file(path, size, ec);
  std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
  for (const auto& [offset, bytes] : pieces) {
    out.seekp(static_cast<std::streamoff>(offset));
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  return !ec && out.good();
}
