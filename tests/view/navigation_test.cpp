// Turning, zooming, panning and the look keys, driven with real mouse and
// key events through the X server.
#include <GL/gl.h>

#include "input_fixture.h"
#include "support/doc_access.h"
#include "support/view_access.h"
#include "view_models.h"

namespace {

using window_test::Pump;
using window_test::PumpUntil;

class NavigationTest : public InputFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    WritePalettes();
    StartViewer();
    StartInput();
  }

  // Holds `button` (1 left, 3 right) at `from`, moves by (dx, dy) and lets
  // go, with Ctrl held throughout when asked. Successive drags start at
  // points apart, so that no two presses make a double-click.
  void Drag(int button, wxPoint from, int dx, int dy, bool ctrl = false) {
    ASSERT_TRUE(input().Move(from));
    if (ctrl) {
      ASSERT_TRUE(input().Run({"keydown", "ctrl"}, wxEVT_KEY_DOWN));
    }
    ASSERT_TRUE(input().Press(button, button == 1 ? wxEVT_LEFT_DOWN : wxEVT_RIGHT_DOWN));
    ASSERT_TRUE(input().Move(from + wxPoint(dx, dy)));
    ASSERT_TRUE(input().Release(button));
    if (ctrl) {
      ASSERT_TRUE(input().Run({"keyup", "ctrl"}, wxEVT_KEY_UP));
    }
  }

  // The start of the i-th drag of a series: near the centre, never twice
  // in a row at the same place.
  wxPoint StartOf(int i) const { return m_center + wxPoint((i % 2) * 40 - 20, (i % 3) * 30 - 30); }

  void SetCamera(double distance, double panX, double panY) {
    MoveCamera(doc(),
               [](scene::Camera& camera) { camera.dRotX = camera.dRotY = camera.dRotZ = 0.0; });
    MoveCamera(doc(), [&](scene::Camera& camera) { camera.dDistance = distance; });
    MoveCamera(doc(), [&](scene::Camera& camera) { camera.dPanX = panX; });
    MoveCamera(doc(), [&](scene::Camera& camera) { camera.dPanY = panY; });
  }

  int Paints() const { return m_driver->observer().Count(wxEVT_PAINT); }

  bool RepaintsAfter(int paintsBefore) {
    return PumpUntil([&] { return Paints() > paintsBefore; }, 2000);
  }
};

TEST_F(NavigationTest, RightDragZoomsHalfAUnitPerPixelWithinLimits) {
  const struct {
    double start;
    int dx, dy;
    double expected;
  } cases[] = {
      {30.0, 0, 4, 32.0},       // down moves the model away
      {30.0, 0, -100, 0.1},     // not -20.0: held at the near limit
      {8990.0, 0, 40, 9000.0},  // held at the far limit
      {30.0, 60, 0, 30.0},      // sideways movement does not zoom
  };
  int i = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "from " << c.start << " by (" << c.dx << ", " << c.dy << ")");
    SetCamera(c.start, 0.0, 0.0);
    const int paints = Paints();
    Drag(3, StartOf(i++), c.dx, c.dy);
    EXPECT_DOUBLE_EQ(doc().Camera().dDistance, c.expected);
    EXPECT_EQ(doc().Camera().dRotX, 0.0);
    EXPECT_EQ(doc().Camera().dRotY, 0.0);
    EXPECT_TRUE(RepaintsAfter(paints));
    EXPECT_FALSE(ViewTestAccess::RightDown(*view()));
  }
}

TEST_F(NavigationTest, LeftDragTurnsHalfADegreePerPixel) {
  const struct {
    bool ctrl;
    int dx, dy;
    double rotY, rotX, rotZ;
  } cases[] = {
      {false, 10, 6, 5.0, 3.0, 0.0},
      {false, -20, -8, -10.0, -4.0, 0.0},
      {true, 10, 6, 0.0, 0.0, 5.0},  // Ctrl turns about Z, from dx alone
      {true, -14, 0, 0.0, 0.0, -7.0},
      {true, 0, 12, 0.0, 0.0, 0.0},  // Ctrl with a vertical move: nothing
  };
  int i = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << (c.ctrl ? "ctrl " : "") << "by (" << c.dx << ", " << c.dy << ")");
    SetCamera(30.0, 0.0, 0.0);
    const int paints = Paints();
    Drag(1, StartOf(i++), c.dx, c.dy, c.ctrl);
    EXPECT_DOUBLE_EQ(doc().Camera().dRotY, c.rotY);
    EXPECT_DOUBLE_EQ(doc().Camera().dRotX, c.rotX);
    EXPECT_DOUBLE_EQ(doc().Camera().dRotZ, c.rotZ);
    EXPECT_EQ(doc().Camera().dDistance, 30.0);
    EXPECT_TRUE(RepaintsAfter(paints));
    EXPECT_FALSE(ViewTestAccess::LeftDown(*view()));
  }
}

TEST_F(NavigationTest, BothButtonsHeldTurnWithoutZooming) {
  ASSERT_TRUE(input().Press(1, wxEVT_LEFT_DOWN));
  ASSERT_TRUE(input().Press(3, wxEVT_RIGHT_DOWN));
  ASSERT_TRUE(input().Move(m_center + wxPoint(8, 10)));
  ASSERT_TRUE(input().Release(3));
  ASSERT_TRUE(input().Release(1));
  EXPECT_DOUBLE_EQ(doc().Camera().dRotY, 4.0);
  EXPECT_DOUBLE_EQ(doc().Camera().dRotX, 5.0);
  EXPECT_EQ(doc().Camera().dDistance, 30.0);
  EXPECT_FALSE(ViewTestAccess::LeftDown(*view()));
  EXPECT_FALSE(ViewTestAccess::RightDown(*view()));
  EXPECT_FALSE(view()->HasCapture());
}

// The mouse stays held while any of the three buttons is: a middle drag
// goes on after a left click made during it.
TEST_F(NavigationTest, CaptureLastsUntilTheLastButtonComesUp) {
  ASSERT_TRUE(input().Press(2, wxEVT_MIDDLE_DOWN));
  ASSERT_TRUE(input().Press(1, wxEVT_LEFT_DOWN));
  ASSERT_TRUE(input().Release(1));
  EXPECT_TRUE(view()->HasCapture()) << "the middle button is still down";
  ASSERT_TRUE(input().Run({"mouseup", "2"}, wxEVT_MIDDLE_UP));
  EXPECT_FALSE(view()->HasCapture());
}

TEST_F(NavigationTest, ButtonReleasedOutsideTheWindowEndsTheDrag) {
  // A point on the screen beside the main window.
  const wxRect frameRect = frame()->GetScreenRect();
  const wxPoint outside = frameRect.GetBottomRight() + wxPoint(30, 30);
  ASSERT_TRUE(wxRect(0, 0, 1280, 1024).Contains(outside)) << "the window fills the screen";
  const wxPoint outsideClient = view()->ScreenToClient(outside);

  ASSERT_TRUE(input().Press(1, wxEVT_LEFT_DOWN));
  EXPECT_TRUE(view()->HasCapture()) << "a drag holds the mouse";
  ASSERT_TRUE(input().Move(outsideClient));
  ASSERT_TRUE(input().Release(1));
  EXPECT_FALSE(ViewTestAccess::LeftDown(*view()));
  EXPECT_FALSE(view()->HasCapture());

  // Coming back over the view with no button held turns nothing.
  SetCamera(30.0, 0.0, 0.0);
  ASSERT_TRUE(input().Move(m_center));
  ASSERT_TRUE(input().Move(m_center + wxPoint(20, 20)));
  Pump(100);
  EXPECT_EQ(doc().Camera().dRotX, 0.0);
  EXPECT_EQ(doc().Camera().dRotY, 0.0);
}

TEST_F(NavigationTest, LosingTheMouseEndsBothDrags) {
  ASSERT_TRUE(input().Press(1, wxEVT_LEFT_DOWN));
  ASSERT_TRUE(input().Press(3, wxEVT_RIGHT_DOWN));
  ASSERT_TRUE(view()->HasCapture());
  // What the toolkit sends when another window takes the mouse away.
  view()->ReleaseMouse();
  wxMouseCaptureLostEvent lost(view()->GetId());
  lost.SetEventObject(view());
  view()->GetEventHandler()->ProcessEvent(lost);
  EXPECT_FALSE(ViewTestAccess::LeftDown(*view()));
  EXPECT_FALSE(ViewTestAccess::RightDown(*view()));

  ASSERT_TRUE(input().Move(m_center + wxPoint(10, 10)));
  EXPECT_EQ(doc().Camera().dRotX, 0.0);
  EXPECT_EQ(doc().Camera().dDistance, 30.0);
  ASSERT_TRUE(input().Release(3));
  ASSERT_TRUE(input().Release(1));
}

TEST_F(NavigationTest, KeysPanAndZoomByTheKeyStep) {
  const struct {
    const char* key;
    double startDistance;
    double panX, panY, distance;
  } cases[] = {
      {"Page_Up", 30.0, 0.0, -0.5, 30.0},
      {"Page_Down", 30.0, 0.0, 0.5, 30.0},
      {"Left", 30.0, 0.5, 0.0, 30.0},
      {"Right", 30.0, -0.5, 0.0, 30.0},
      {"Up", 30.0, 0.0, 0.0, 29.5},
      {"KP_Add", 30.0, 0.0, 0.0, 29.5},
      {"Down", 30.0, 0.0, 0.0, 30.5},
      {"KP_Subtract", 30.0, 0.0, 0.0, 30.5},
      {"Up", 0.3, 0.0, 0.0, 0.1},  // the near limit holds for the keys too
      {"KP_Add", 0.5, 0.0, 0.0, 0.1},
      {"Down", 9000.0, 0.0, 0.0, 9000.5},  // but no far limit
      {"KP_Subtract", 8999.8, 0.0, 0.0, 9000.3},
  };
  ViewTestAccess::KeyStep(*view()) = 0.5;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.key << " from " << c.startDistance);
    SetCamera(c.startDistance, 0.0, 0.0);
    const int paints = Paints();
    ASSERT_TRUE(input().Key(c.key));
    EXPECT_DOUBLE_EQ(doc().Camera().dPanX, c.panX);
    EXPECT_DOUBLE_EQ(doc().Camera().dPanY, c.panY);
    EXPECT_DOUBLE_EQ(doc().Camera().dDistance, c.distance);
    EXPECT_TRUE(RepaintsAfter(paints));
  }
  EXPECT_EQ(view()->KeyStep(), 0.5);
}

// With Num Lock off the keypad's Home, arrows and Page keys are the main
// ones to the user.
TEST_F(NavigationTest, KeypadKeysWithNumLockOffActAsTheMainKeys) {
  const struct {
    const char* key;
    int keyCode;  // what the key must arrive as, so the case is real
    double panX, panY, distance;
  } cases[] = {
      {"KP_Page_Up", WXK_NUMPAD_PAGEUP, 0.0, -0.5, 30.0},
      {"KP_Page_Down", WXK_NUMPAD_PAGEDOWN, 0.0, 0.5, 30.0},
      {"KP_Left", WXK_NUMPAD_LEFT, 0.5, 0.0, 30.0},
      {"KP_Right", WXK_NUMPAD_RIGHT, -0.5, 0.0, 30.0},
      {"KP_Up", WXK_NUMPAD_UP, 0.0, 0.0, 29.5},
      {"KP_Down", WXK_NUMPAD_DOWN, 0.0, 0.0, 30.5},
      {"KP_Home", WXK_NUMPAD_HOME, 0.0, 0.0, view_test::kCountedFit},
  };
  view()->OpenModel(WriteModel("counted.bin", view_test::CountedModel(4, 5, 2)));
  ViewTestAccess::KeyStep(*view()) = 0.5;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    SetCamera(30.0, 0.0, 0.0);
    const int arrived = input().observer().KeyDowns(c.keyCode);
    const int paints = Paints();
    ASSERT_TRUE(input().Key(c.key));
    ASSERT_EQ(input().observer().KeyDowns(c.keyCode), arrived + 1);
    EXPECT_DOUBLE_EQ(doc().Camera().dPanX, c.panX);
    EXPECT_DOUBLE_EQ(doc().Camera().dPanY, c.panY);
    EXPECT_DOUBLE_EQ(doc().Camera().dDistance, c.distance);
    EXPECT_TRUE(RepaintsAfter(paints));
  }
}

TEST_F(NavigationTest, WithoutAModelTheKeysRepaintAndMoveNothing) {
  ASSERT_EQ(view()->KeyStep(), 0.0);
  for (const char* key :
       {"Page_Up", "Page_Down", "Left", "Right", "Up", "Down", "KP_Add", "KP_Subtract"}) {
    SCOPED_TRACE(key);
    const int paints = Paints();
    ASSERT_TRUE(input().Key(key));
    EXPECT_EQ(doc().Camera().dDistance, 30.0);
    EXPECT_EQ(doc().Camera().dPanX, 0.0);
    EXPECT_EQ(doc().Camera().dPanY, 0.0);
    EXPECT_TRUE(RepaintsAfter(paints));
  }
}

TEST_F(NavigationTest, HomeRefitsTheCameraAndKeepsTheKeyStep) {
  view()->OpenModel(WriteModel("counted.bin", view_test::CountedModel(4, 5, 2)));
  ASSERT_DOUBLE_EQ(view()->KeyStep(), view_test::kCountedStep);
  MoveCamera(doc(), [&](scene::Camera& camera) { camera.dRotX = 12.0; });
  MoveCamera(doc(), [&](scene::Camera& camera) { camera.dRotY = -40.0; });
  MoveCamera(doc(), [&](scene::Camera& camera) { camera.dRotZ = 3.5; });
  MoveCamera(doc(), [&](scene::Camera& camera) { camera.dPanX = 2.0; });
  MoveCamera(doc(), [&](scene::Camera& camera) { camera.dPanY = -1.0; });
  MoveCamera(doc(), [&](scene::Camera& camera) { camera.dDistance = 500.0; });
  const int paints = Paints();
  ASSERT_TRUE(input().Key("Home"));
  EXPECT_DOUBLE_EQ(doc().Camera().dDistance, view_test::kCountedFit);
  EXPECT_EQ(doc().Camera().dRotX, 0.0);
  EXPECT_EQ(doc().Camera().dRotY, 0.0);
  EXPECT_EQ(doc().Camera().dRotZ, 0.0);
  EXPECT_EQ(doc().Camera().dPanX, 0.0);
  EXPECT_EQ(doc().Camera().dPanY, 0.0);
  EXPECT_DOUBLE_EQ(view()->KeyStep(), view_test::kCountedStep);
  EXPECT_TRUE(RepaintsAfter(paints));
}

TEST_F(NavigationTest, MainKeyboardDigitsSwitchTheLookKeypadDigitsDoNot) {
  const struct {
    const char* key;
    int keyCode;  // what the key must arrive as, so the case is real
    int start;
    int expected;
  } cases[] = {
      {"1", '1', kPolygonModeFill, kPolygonModeLine},
      {"2", '2', kPolygonModeLine, kPolygonModeFill},
      {"1", '1', kPolygonModeLine, kPolygonModeLine},
      {"KP_1", WXK_NUMPAD1, kPolygonModeFill, kPolygonModeFill},
      {"KP_2", WXK_NUMPAD2, kPolygonModeLine, kPolygonModeLine},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    view()->SetPolygonMode(c.start);
    const int arrived = input().observer().KeyDowns(c.keyCode);
    ASSERT_TRUE(input().Key(c.key));
    ASSERT_EQ(input().observer().KeyDowns(c.keyCode), arrived + 1);
    EXPECT_EQ(doc().PolygonMode(), c.expected);
    GLint glMode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, glMode);
    EXPECT_EQ(glMode[0], c.expected);
    EXPECT_EQ(glMode[1], c.expected);
  }
  EXPECT_EQ(doc().Camera().dDistance, 30.0);
}

}  // namespace
