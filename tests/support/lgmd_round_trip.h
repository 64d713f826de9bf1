// The writer's promise, checked on any model the reader accepted: written
// and read back it is the same model, and writing that gives the same
// bytes again. Shared by the writer's tests, the prefix-and-flip loops and
// the reader's fuzz target.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/lgmd_writer.h"
#include "model/model.h"
#include "support/describe_model.h"

namespace roundtrip {

// Empty when the promise holds, otherwise what broke it. first receives the
// first re-save.
inline std::string Problem(const CModel& model, std::vector<std::uint8_t>& first) {
  const LgmdWriteResult written = WriteLgmd(model, first);
  if (!written.ok()) return "the writer refuses it: " + written.reason;
  CModel back;
  ReadResult why;
  if (!(why = back.ReadFromMemory(first.data(), first.size())).ok()) {
    return "its re-save is refused: " + why.Reason();
  }
  if (Describe(back, false) != Describe(model, false)) return "its re-save reads differently";
  std::vector<std::uint8_t> second;
  if (!WriteLgmd(back, second).ok() || second != first) return "a second re-save differs";
  return {};
}

inline std::string Problem(const CModel& model) {
  std::vector<std::uint8_t> first;
  return Problem(model, first);
}

}  // namespace roundtrip
