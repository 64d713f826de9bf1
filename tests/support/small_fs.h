// A small tmpfs of a test's own, to make a disk fill up or turn read-only
// for real. Mounting needs the rights to do it; tests skip when Mounted()
// is false.
#pragma once

#include <sys/mount.h>

#include <filesystem>
#include <string>

class SmallFileSystem {
 public:
  // Mounts a tmpfs of `size` (e.g. "64k") at `where`, creating the
  // directory; `where` must lie inside a directory the test removes later.
  SmallFileSystem(const std::filesystem::path& where, const std::string& size) : m_where(where) {
    std::filesystem::create_directory(m_where);
    const std::string options = "size=" + size;
    m_mounted = mount("zorvik-test", m_where.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~SmallFileSystem() {
    if (m_mounted) umount2(m_where.c_str(), MNT_DETACH);
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  bool Mounted() const { return m_mounted; }
  bool MakeReadOnly() {
    return mount(nullptr, m_where.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

 private:
  std::filesystem::path m_where;
  bool m_mounted = false;
};
