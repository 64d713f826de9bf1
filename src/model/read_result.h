// Why the LGMD reader refused a file: one code, the place in the file it
// concerns, and a one-line reason for the user. Only the reader fills it;
// callers show Reason() beside their own message.
#pragma once

#include <cstdint>
#include <string>

enum class ReadError {
  None,
  CannotOpen,       // the file could not be opened or read; detail holds the system's words
  NotRegularFile,   // a directory, device or pipe, refused unopened; detail says which
  BadMagic,         // the first four bytes are not "LGMD"
  TooShort,         // the file ends inside a field or record: offset, what
  CountOutOfRange,  // a header count no model can have: what, value
  BadSectionTable,  // a section that ends before it starts: what
  SectionOutside,   // a section that starts outside the file: what, offset
  IndexOutOfRange,  // an index in polygon or object `index` points outside its array: what, value
  SubObjectCycle,   // the parent chain of sub-object `index` comes back to itself
  OutOfMemory,      // the model does not fit in memory
};

struct ReadResult {
  ReadError error = ReadError::None;
  std::int64_t offset = -1;  // the file offset concerned, -1 when none
  std::int64_t value = 0;    // the offending count or index
  std::int64_t limit = 0;    // for an index: the size of the array it points into
  int index = -1;            // the polygon or sub-object concerned, -1 when none
  std::string record;        // "polygon" or "sub-object" for an index out of range
  std::string what;          // the field, section or array concerned
  std::string detail;        // the system's words for an open failure, or a note on a count

  bool ok() const { return error == ReadError::None; }
  // One line, e.g. "file ends at offset 120 inside the polygon section".
  std::string Reason() const;
};
