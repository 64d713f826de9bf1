// The view's window tests. A failed toolkit assertion counts as a test
// failure instead of opening a dialog that nobody under the virtual display
// would ever close.
#include <gtest/gtest.h>

#include <cstdio>

#include <wx/debug.h>

#include "app/window_fixture.h"

namespace {

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
  const wxString text = wxString::Format("toolkit assertion %s failed in %s (%s:%d): %s", cond,
                                         func, file, line, msg);
  std::fprintf(stderr, "%s\n", static_cast<const char*>(text.utf8_str()));
  if (testing::UnitTest::GetInstance()->current_test_info() != nullptr) {
    ADD_FAILURE() << text;
  }
}

}  // namespace

int main(int argc, char** argv) {
  wxSetAssertHandler(FailOnAssert);
  return RunWindowTestProgram(argc, argv);
}
