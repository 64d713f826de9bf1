#include "model/read_result.h"

namespace {

std::string At(std::int64_t offset) {
  return offset >= 0 ? " at offset " + std::to_string(offset) : "";
}

}  // namespace

std::string ReadResult::Reason() const {
  switch (error) {
    case ReadError::None:
      return "no error";
    case ReadError::CannotOpen:
      return detail.empty() ? "cannot be opened" : detail;
    case ReadError::NotRegularFile:
      return detail.empty() ? "not a regular file" : detail;
    case ReadError::BadMagic:
      return "not an LGMD model (it does not start with \"LGMD\")";
    case ReadError::TooShort:
      return "file ends" + At(offset) + " inside " + what;
    case ReadError::CountOutOfRange:
      return what + " " + std::to_string(value) + " is out of range" +
             (detail.empty() ? "" : " (" + detail + ")");
    case ReadError::BadSectionTable:
      return "section table: " + what + " ends before it starts";
    case ReadError::SectionOutside:
      return what + " starts" + At(offset) + ", outside the file";
    case ReadError::IndexOutOfRange:
      return record + " " + std::to_string(index) + ": " + what + " " + std::to_string(value) +
             " is out of range (" + std::to_string(limit) + " in the file)";
    case ReadError::SubObjectCycle:
      return "the parent chain of sub-object " + std::to_string(index) + " loops";
    case ReadError::OutOfMemory:
      return "too large to fit in memory";
  }
  return "unknown error";
}
