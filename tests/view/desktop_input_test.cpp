// The desktop's mouse and key habits through real input: the wheel zooms,
// the middle button pans, ] [ and Ctrl+Page Down / Up go through the
// folder's models.
#include <filesystem>

#include "input_fixture.h"
#include "render/scene.h"
#include "support/doc_access.h"
#include "view_models.h"

namespace {

using window_test::Pump;
using window_test::PumpUntil;

class DesktopInputTest : public InputFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    WritePalettes();
    StartViewer();
    m_first = WriteModel("a.bin", view_test::CountedModel(2, 4, 1));
    m_second = WriteModel("b.bin", view_test::CountedModel(2, 4, 1));
    ASSERT_TRUE(view()->OpenModel(m_first));
    ASSERT_NEAR(view()->KeyStep(), view_test::kCountedStep, 1e-12);
    StartInput();
  }

  std::string m_first, m_second;
};

// A notch zooms by a tenth at any distance, in as out, so a notch in and
// one out give the view back; the near limit holds as for the keys.
TEST_F(DesktopInputTest, WheelZoomsByAFactorPerNotch) {
  const struct {
    double start;
    int button;  // 4 away from the user (closer), 5 towards (farther)
    int notches;
    double expected;
  } cases[] = {
      {10.0, 4, 2, 10.0 / 1.21},
      {10.0, 5, 3, 10.0 * 1.331},
      {9000.0, 4, 1, 9000.0 / 1.1},  // the same share far away
      {0.105, 4, 1, 0.1},            // held at the near limit
  };
  for (const auto& c : cases) {
    MoveCamera(doc(), [&](scene::Camera& camera) { camera.dDistance = c.start; });
    ASSERT_TRUE(input().Run(
        {"click", "--repeat", std::to_string(c.notches), "--delay", "50", std::to_string(c.button)},
        wxEVT_MOUSEWHEEL, c.notches));
    EXPECT_NEAR(doc().Camera().dDistance, c.expected, c.expected * 1e-9) << "from " << c.start;
  }
  MoveCamera(doc(), [&](scene::Camera& camera) { camera.dDistance = 7.0; });
  ASSERT_TRUE(input().Run({"click", "4"}, wxEVT_MOUSEWHEEL, 1));
  ASSERT_TRUE(input().Run({"click", "5"}, wxEVT_MOUSEWHEEL, 1));
  EXPECT_NEAR(doc().Camera().dDistance, 7.0, 1e-12);
}

TEST_F(DesktopInputTest, MiddleDragMovesTheModelWithThePointer) {
  MoveCamera(doc(), [&](scene::Camera& camera) { camera.dDistance = 20.0; });
  MoveCamera(doc(), [](scene::Camera& camera) { camera.dPanX = camera.dPanY = 0.0; });
  const double units = scene::PanUnitsPerPixel(20.0, view()->GetClientSize().y);
  ASSERT_TRUE(input().Press(2, wxEVT_MIDDLE_DOWN));
  ASSERT_TRUE(input().Move(m_center + wxPoint(40, 25)));
  ASSERT_TRUE(input().Run({"mouseup", "2"}, wxEVT_MIDDLE_UP));
  EXPECT_NEAR(doc().Camera().dPanX, 40 * units, 1e-9);   // right: the model goes right
  EXPECT_NEAR(doc().Camera().dPanY, -25 * units, 1e-9);  // down: the model goes down
  EXPECT_NEAR(doc().Camera().dDistance, 20.0, 1e-12);

  // Released: moving on pans no more.
  ASSERT_TRUE(input().Move(m_center));
  EXPECT_NEAR(doc().Camera().dPanX, 40 * units, 1e-9);
}

TEST_F(DesktopInputTest, BracketAndCtrlPageKeysGoThroughTheFolder) {
  const struct {
    const char* keys;
    std::string expected;
  } steps[] = {
      {"bracketright", m_second},
      {"bracketleft", m_first},
      {"ctrl+Next", m_second},
      {"ctrl+Prior", m_first},
  };
  for (const auto& s : steps) {
    MoveCamera(doc(), [&](scene::Camera& camera) { camera.dPanY = 0.0; });
    ASSERT_TRUE(input().Key(s.keys));
    EXPECT_TRUE(PumpUntil([&] { return view()->ModelPath() == s.expected; }, 3000)) << s.keys;
    // With Ctrl, Page Down and Page Up are the folder's, not the pan's.
    EXPECT_EQ(doc().Camera().dPanY, 0.0) << s.keys;
  }
}

}  // namespace
