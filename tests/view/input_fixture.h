// A started viewer with real input into it: the pointer rests on the middle
// of the view, where the input tests start their drags and wheel turns.
#pragma once

#include <memory>

#include "app/window_fixture.h"
#include "input_driver.h"

class InputFixture : public window_test::WindowFixture {
 protected:
  // Call once the view shows what the test needs.
  void StartInput() {
    m_driver = std::make_unique<InputDriver>(view());
    const wxSize size = view()->GetClientSize();
    m_center = wxPoint(size.x / 2, size.y / 2);
    ASSERT_TRUE(m_driver->Hover(m_center));
  }

  void TearDown() override {
    m_driver.reset();
    WindowFixture::TearDown();
  }

  InputDriver& input() { return *m_driver; }

  wxPoint m_center;
  std::unique_ptr<InputDriver> m_driver;
};
