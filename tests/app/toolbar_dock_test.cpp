// The toolbar as a dockable bar: where it starts, the sides it may dock
// on, floating in a window of its own and docked back, with its buttons,
// prompts and the View > Toolbar toggle working wherever it is.
#include <wx/aui/framemanager.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>

#include <algorithm>

#include "window_fixture.h"

namespace window_test {
namespace {

class ToolbarDockTest : public PlainViewerFixture {
 protected:
  wxToolBar* bar() { return frame()->GetMainToolBar(); }
  wxAuiPaneInfo& pane() { return frame()->GetDockManager().GetPane(bar()); }
  wxString StatusText() { return frame()->GetStatusBar()->GetStatusText(0); }

  // Docks the bar on the side direction names, or floats it over the
  // frame, and lets the window settle.
  void Place(int direction, bool floating) {
    if (floating) {
      pane().Float().FloatingPosition(frame()->GetScreenPosition() + wxPoint(150, 200));
    } else {
      pane().Dock().Direction(direction).Row(0).Position(0);
    }
    frame()->GetDockManager().Update();
    Pump(150);
  }

  void PointAtScreen(wxPoint where) {
    wxUIActionSimulator sim;
    sim.MouseMove(where);
    Pump(30);
  }

  // Sweeps the pointer along the bar, in its direction, until the message
  // pane shows Open's prompt; returns that point on the screen, or
  // wxDefaultPosition when no point shows it.
  wxPoint FindOpenButton() {
    const wxSize size = bar()->GetClientSize();
    const bool vertical = bar()->HasFlag(wxTB_VERTICAL);
    const int length = vertical ? size.y : size.x;
    for (int along = 2; along < length; along += 4) {
      const wxPoint local = vertical ? wxPoint(size.x / 2, along) : wxPoint(along, size.y / 2);
      const wxPoint where = bar()->ClientToScreen(local);
      PointAtScreen(where);
      if (StatusText() == "Open an existing document") return where;
    }
    return wxDefaultPosition;
  }

  // Clicks Open on the bar: the view asks for a file (the recorder
  // cancels), which shows the command went through. Checks the prompt on
  // the way and "Ready" once the pointer leaves.
  void ClickOpenAndLeave() {
    const wxPoint open = FindOpenButton();
    ASSERT_NE(open, wxDefaultPosition) << "no point of the bar showed Open's prompt";
    const std::size_t before = recorder().openRequests().size();
    wxUIActionSimulator sim;
    sim.MouseClick();
    EXPECT_TRUE(PumpUntil([&] { return recorder().openRequests().size() == before + 1; }, 3000));
    // A corner of the view, clear of where the bar floats.
    const wxSize viewSize = view()->GetClientSize();
    PointAtScreen(view()->ClientToScreen(wxPoint(viewSize.x - 20, viewSize.y - 20)));
    EXPECT_TRUE(PumpUntil([&] { return StatusText() == "Ready"; }, 2000)) << StatusText();
  }
};

TEST_F(ToolbarDockTest, StartsDockedAtTheTopAndMayDockOnAnySideOrFloat) {
  ASSERT_NE(bar(), nullptr);
  ASSERT_TRUE(pane().IsOk());
  EXPECT_TRUE(pane().IsToolbar());
  EXPECT_TRUE(pane().IsDocked());
  EXPECT_EQ(pane().dock_direction, wxAUI_DOCK_TOP);
  EXPECT_TRUE(pane().IsTopDockable());
  EXPECT_TRUE(pane().IsBottomDockable());
  EXPECT_TRUE(pane().IsLeftDockable());
  EXPECT_TRUE(pane().IsRightDockable());
  EXPECT_TRUE(pane().IsFloatable());
  EXPECT_FALSE(bar()->HasFlag(wxTB_VERTICAL));
  EXPECT_EQ(wxGetTopLevelParent(bar()), frame());

  // On screen: a row of buttons across the top of the frame's client
  // area, the view right under it, also after the window is resized.
  for (const wxSize frameSize : {wxSize(0, 0), wxSize(900, 700), wxSize(500, 400)}) {
    SCOPED_TRACE(frameSize.x);
    if (frameSize.x != 0) {
      frame()->SetSize(frameSize);
      Pump(150);
      ASSERT_EQ(frame()->GetSize(), frameSize);
    }
    const wxRect barRect = bar()->GetScreenRect();
    const wxRect viewRect = view()->GetScreenRect();
    // (The dock may draw a border of a pixel or two around the bar.)
    const int gap = barRect.GetTop() - frame()->ClientToScreen(wxPoint(0, 0)).y;
    EXPECT_GE(gap, 0);
    EXPECT_LE(gap, 2);
    EXPECT_GT(barRect.GetWidth(), barRect.GetHeight());
    EXPECT_LE(barRect.GetBottom(), viewRect.GetTop());
    EXPECT_EQ(viewRect.GetBottom() + 1, frame()->GetStatusBar()->GetScreenRect().GetTop());
    EXPECT_EQ(viewRect.GetWidth(), frame()->GetClientSize().x);
  }
}

TEST_F(ToolbarDockTest, ButtonsAndPromptsWorkOnEverySideFloatingAndDockedBack) {
  const struct {
    const char* name;
    int direction;
    bool floating;
    bool vertical;
  } places[] = {
      {"left", wxAUI_DOCK_LEFT, false, true},      {"right", wxAUI_DOCK_RIGHT, false, true},
      {"bottom", wxAUI_DOCK_BOTTOM, false, false}, {"floating", 0, true, false},
      {"top again", wxAUI_DOCK_TOP, false, false},
  };
  for (const auto& place : places) {
    SCOPED_TRACE(place.name);
    Place(place.direction, place.floating);
    EXPECT_EQ(pane().IsFloating(), place.floating);
    EXPECT_EQ(bar()->HasFlag(wxTB_VERTICAL), place.vertical);
    const wxRect barRect = bar()->GetScreenRect();
    const wxRect viewRect = view()->GetScreenRect();
    if (place.floating) {
      EXPECT_NE(wxGetTopLevelParent(bar()), frame());
      EXPECT_TRUE(wxGetTopLevelParent(bar())->IsShown());
    } else {
      EXPECT_EQ(wxGetTopLevelParent(bar()), frame());
      // The view gives way to the bar on its side; the two never overlap.
      EXPECT_FALSE(barRect.Intersects(viewRect));
      switch (place.direction) {
        case wxAUI_DOCK_LEFT:
          EXPECT_LT(barRect.GetRight(), viewRect.GetLeft());
          break;
        case wxAUI_DOCK_RIGHT:
          EXPECT_GT(barRect.GetLeft(), viewRect.GetRight());
          break;
        case wxAUI_DOCK_BOTTOM:
          EXPECT_GT(barRect.GetTop(), viewRect.GetBottom());
          break;
        default:
          EXPECT_LT(barRect.GetBottom(), viewRect.GetTop());
          break;
      }
    }
    if (place.vertical) {
      EXPECT_GT(barRect.GetHeight(), barRect.GetWidth());
    } else {
      EXPECT_GT(barRect.GetWidth(), barRect.GetHeight());
    }
    ClickOpenAndLeave();
  }
}

// What the user does: takes the bar by its grip, at its left end, and
// drags it down into the middle of the window, where it floats.
TEST_F(ToolbarDockTest, DraggingTheGripFloatsTheBar) {
  const wxPoint grip = bar()->GetScreenPosition() + wxPoint(-5, bar()->GetSize().y / 2);
  const wxPoint middle = view()->GetScreenRect().GetPosition() + wxPoint(300, 250);
  wxUIActionSimulator sim;
  sim.MouseMove(grip);
  Pump(30);
  sim.MouseDown();
  Pump(30);
  for (int step = 1; step <= 10; ++step) {
    sim.MouseMove(grip + (middle - grip) * step / 10);
    Pump(30);
  }
  sim.MouseUp();
  Pump(150);
  EXPECT_TRUE(pane().IsFloating());
  EXPECT_NE(wxGetTopLevelParent(bar()), frame());
  ClickOpenAndLeave();
}

// The floating bar is carried back by its window's title bar, which the
// window manager moves while the user holds the button. This display has
// no window manager, so the test moves the window in small steps itself,
// with the button held (pressed on the status bar, where it does nothing)
// and the pointer travelling along. Let go just outside the window's
// client area, on a side, the bar docks on that side.
TEST_F(ToolbarDockTest, DraggingTheFloatingBarToAnEdgeDocksItThere) {
  frame()->Move(120, 80);
  Pump(100);
  ASSERT_EQ(frame()->GetPosition(), wxPoint(120, 80));
  const struct {
    const char* name;
    wxPoint target;  // in the frame's client coordinates
    int direction;
    bool vertical;
  } drops[] = {
      {"over the menu bar", wxPoint(60, -10), wxAUI_DOCK_TOP, false},
      {"left of the window", wxPoint(-10, 200), wxAUI_DOCK_LEFT, true},
  };
  for (const auto& drop : drops) {
    SCOPED_TRACE(drop.name);
    Place(0, true);
    wxWindow* floating = wxGetTopLevelParent(bar());
    ASSERT_NE(floating, frame());
    const wxPoint grip(20, 5);  // where the pointer holds the window
    wxUIActionSimulator sim;
    sim.MouseMove(frame()->GetStatusBar()->GetScreenPosition() + wxPoint(100, 5));
    Pump(30);
    sim.MouseDown();
    Pump(30);
    const wxPoint target = frame()->ClientToScreen(drop.target) - grip;
    // Picked up over the view, a little way from the edge.
    wxPoint pos = target + wxPoint(30, 30);
    floating->Move(pos);
    sim.MouseMove(pos + grip);
    Pump(30);
    while (pos != target) {
      pos.x += std::clamp(target.x - pos.x, -2, 2);
      pos.y += std::clamp(target.y - pos.y, -2, 2);
      floating->Move(pos);
      sim.MouseMove(pos + grip);
      Pump(15);
    }
    sim.MouseUp();
    Pump(200);
    EXPECT_FALSE(pane().IsFloating());
    EXPECT_EQ(pane().dock_direction, drop.direction);
    EXPECT_EQ(wxGetTopLevelParent(bar()), frame());
    EXPECT_EQ(bar()->HasFlag(wxTB_VERTICAL), drop.vertical);
    ClickOpenAndLeave();
  }
}

TEST_F(ToolbarDockTest, ViewMenuHidesAndShowsTheFloatingBar) {
  Place(0, true);
  wxWindow* floatingWindow = wxGetTopLevelParent(bar());
  ASSERT_NE(floatingWindow, frame());
  wxMenu* viewMenu = frame()->GetMenuBar()->GetMenu(1);
  const bool expected[] = {false, true};
  for (bool shown : expected) {
    SCOPED_TRACE(shown);
    wxCommandEvent toggle(wxEVT_MENU, ID_VIEW_TOOLBAR);
    frame()->ProcessWindowEvent(toggle);
    Pump(100);
    viewMenu->UpdateUI();
    EXPECT_EQ(viewMenu->IsChecked(ID_VIEW_TOOLBAR), shown);
    EXPECT_EQ(bar()->IsShownOnScreen(), shown);
    EXPECT_TRUE(pane().IsFloating());
  }
  ClickOpenAndLeave();

  // Its own close box hides the floating bar as the menu does; the menu
  // brings it back where it was.
  wxGetTopLevelParent(bar())->Close();
  Pump(100);
  viewMenu->UpdateUI();
  EXPECT_FALSE(viewMenu->IsChecked(ID_VIEW_TOOLBAR));
  EXPECT_FALSE(bar()->IsShownOnScreen());
  wxCommandEvent toggle(wxEVT_MENU, ID_VIEW_TOOLBAR);
  frame()->ProcessWindowEvent(toggle);
  Pump(100);
  viewMenu->UpdateUI();
  EXPECT_TRUE(viewMenu->IsChecked(ID_VIEW_TOOLBAR));
  EXPECT_TRUE(bar()->IsShownOnScreen());
  EXPECT_TRUE(pane().IsFloating());
  ClickOpenAndLeave();
}

}  // namespace
}  // namespace window_test
