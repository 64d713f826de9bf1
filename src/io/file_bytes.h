// Reading the model's input files. A reader takes what it parses into
// memory and parses from there, so no parse step depends on what an earlier
// read left in a stream; but it takes only the bytes it needs, so that a
// huge file costs no more than the part a reader can use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace filebytes {

// A regular file open for reading by ranges; closed with the object.
class CInputFile {
 public:
  CInputFile() = default;
  ~CInputFile();
  CInputFile(const CInputFile&) = delete;
  CInputFile& operator=(const CInputFile&) = delete;

  // Opens path. Only regular files: anything else is refused by its type
  // before it is opened, so a fifo cannot hold the open and a device is
  // never touched. False with the reason in error: the system's words ("No
  // such file or directory"), "is a directory" or "not a regular file".
  bool Open(const std::string& path, std::string& error);
  // After a failed Open: whether the path named something other than a
  // regular file, rather than nothing the system could open.
  bool WrongType() const { return m_bWrongType; }
  // The size the file had when it was opened.
  std::uint64_t Size() const { return m_nSize; }
  // Reads up to length bytes from offset into out; got is less than length
  // only where the file ends. False, with the reason in error, on a read
  // error.
  bool ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t length, std::size_t& got,
              std::string& error) const;

 private:
  // The descriptor; on Windows the file's handle.
  std::intptr_t m_fd = -1;
  std::uint64_t m_nSize = 0;
  bool m_bWrongType = false;
};

// Fills bytes with the whole content of the regular file at path. False when
// the file cannot be opened, is not a regular file, cannot be read to its
// end, does not fit in memory, or holds more than maxSize bytes ("larger
// than N bytes", nothing read); bytes is then left empty and error holds
// the reason.
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error,
                   std::size_t maxSize);
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes);

}  // namespace filebytes
