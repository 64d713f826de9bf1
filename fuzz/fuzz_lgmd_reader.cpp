// Feeds arbitrary bytes to the LGMD reader. Besides the sanitizers' checks,
// every model the reader accepts must keep the promises the drawing and
// export code rely on (support/model_invariants.h) and re-save as itself
// (support/lgmd_round_trip.h), and a refused file carries a reason for the
// user.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/model.h"
#include "support/lgmd_round_trip.h"
#include "support/model_invariants.h"

namespace {

void CheckAccepted(const CModel& model) {
  const std::string broken = invariants::Broken(model);
  if (!broken.empty()) {
    std::fprintf(stderr, "accepted model breaks: %s\n", broken.c_str());
    std::abort();
  }
  const std::string resave = roundtrip::Problem(model);
  if (!resave.empty()) {
    std::fprintf(stderr, "accepted model does not re-save as itself: %s\n", resave.c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CModel model;
  ReadResult result;
  if ((result = model.ReadFromMemory(data, size)).ok()) {
    CheckAccepted(model);
  } else if (result.ok() || result.Reason().empty()) {
    std::abort();
  }
  // A second read into the same model must replace the first or leave it
  // whole.
  model.ReadFromMemory(data, size);
  CheckAccepted(model);
  return 0;
}
