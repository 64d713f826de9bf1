// The command set as the user meets it: menus, toolbar, accelerators,
// status-bar prompts, the lock indicators and the bar toggles.
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>

#include <set>

#include "window_fixture.h"

#ifndef _WIN32
// Last: the X11 headers define macros that clash with names above.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#endif

namespace window_test {
namespace {

// Records the id of every command that reaches any handler, before any
// handler runs.
class CommandLog : public wxEventFilter {
 public:
  CommandLog() { wxEvtHandler::AddFilter(this); }
  ~CommandLog() override { wxEvtHandler::RemoveFilter(this); }
  int FilterEvent(wxEvent& event) override {
    if (event.GetEventType() == wxEVT_MENU) ids.push_back(event.GetId());
    return Event_Skip;
  }
  std::vector<int> ids;
};

class CommandsTest : public PlainViewerFixture {
 protected:
  wxString StatusText() { return frame()->GetStatusBar()->GetStatusText(0); }

  // Moves the real pointer (keys follow it on a display without a window
  // manager).
  void PointAt(wxWindow* window, wxPoint where) {
    wxUIActionSimulator sim;
    sim.MouseMove(window->ClientToScreen(where));
    Pump(30);
  }
};

struct MenuItemRow {
  int menu;
  const char* label;  // empty for a separator
  int id;
  bool checkable;
};

TEST_F(CommandsTest, MenusHoldTheirItemsWithMnemonicsAcceleratorsAndPrompts) {
  const MenuItemRow rows[] = {
      {0, "&Open...\tCtrl+O", ID_FILE_OPEN, false},
      {0, "&Import...\tCtrl+I", ID_FILE_IMPORT, false},
      {0, "&Save...", ID_FILE_SAVE, false},
      {0, "&Export...\tCtrl+E", ID_FILE_EXPORT, false},
      {0, "Save &Picture...", ID_FILE_SAVE_PICTURE, false},
      {0, "", 0, false},
      {0, "E&xit", ID_APP_EXIT, false},
      {1, "Model Information", ID_VIEW_MODEL_INFO, false},
      {1, "", 0, false},
      {1, "&Next Model in Folder\tCtrl+PgDn", ID_VIEW_NEXT_MODEL, false},
      {1, "&Previous Model in Folder\tCtrl+PgUp", ID_VIEW_PREV_MODEL, false},
      {1, "", 0, false},
      {1, "&Toolbar", ID_VIEW_TOOLBAR, true},
      {1, "&Status Bar", ID_VIEW_STATUS_BAR, true},
      {2, "&Controls\tF1", ID_HELP_CONTROLS, false},
      {2, "&About Zorvik...", ID_APP_ABOUT, false},
  };
  const wxMenuBar* bar = frame()->GetMenuBar();
  ASSERT_EQ(bar->GetMenuCount(), 3u);
  EXPECT_EQ(bar->GetMenuLabel(0), "&File");
  EXPECT_EQ(bar->GetMenuLabel(1), "&View");
  EXPECT_EQ(bar->GetMenuLabel(2), "&Help");

  std::size_t position[3] = {0, 0, 0};
  for (const MenuItemRow& row : rows) {
    SCOPED_TRACE(row.label);
    const wxMenuItem* item = bar->GetMenu(row.menu)->FindItemByPosition(position[row.menu]++);
    ASSERT_NE(item, nullptr);
    if (*row.label == '\0') {
      EXPECT_TRUE(item->IsSeparator());
      continue;
    }
    EXPECT_EQ(item->GetItemLabel(), row.label);
    EXPECT_EQ(item->GetId(), row.id);
    EXPECT_EQ(item->IsCheckable(), row.checkable);
  }
  for (int menu = 0; menu < 3; ++menu) {
    EXPECT_EQ(bar->GetMenu(menu)->GetMenuItemCount(), position[menu]) << "menu " << menu;
  }
}

TEST_F(CommandsTest, HighlightedMenuItemShowsItsPromptThenReady) {
  const std::pair<int, const char*> prompts[] = {
      {ID_FILE_OPEN, "Open an existing document"},
      {ID_FILE_SAVE, "Save the active document"},
      {ID_FILE_EXPORT, "Export the model as glTF or OBJ"},
      {ID_FILE_IMPORT, "Open a model of another format (glTF, OBJ, FBX, Collada...) as LGMD"},
      {ID_APP_EXIT, "Quit the application; prompts to save documents"},
      {ID_VIEW_MODEL_INFO, "View Model Information"},
      {ID_VIEW_TOOLBAR, "Show or hide the toolbar"},
      {ID_VIEW_STATUS_BAR, "Show or hide the status bar"},
      {ID_APP_ABOUT, "Display program information, version number and copyright"},
      {ID_FILE_SAVE_PICTURE, "Save the view as a PNG picture of the window's size"},
      {ID_VIEW_NEXT_MODEL, "Open the next model in this folder"},
      {ID_VIEW_PREV_MODEL, "Open the previous model in this folder"},
      {ID_HELP_CONTROLS, "List the mouse and keyboard controls"},
  };
  EXPECT_EQ(StatusText(), "Ready");
  for (const auto& [id, prompt] : prompts) {
    wxMenuEvent highlight(wxEVT_MENU_HIGHLIGHT, id);
    frame()->ProcessWindowEvent(highlight);
    EXPECT_EQ(StatusText(), prompt);
    wxMenuEvent close(wxEVT_MENU_CLOSE, 0, frame()->GetMenuBar()->GetMenu(0));
    frame()->ProcessWindowEvent(close);
    EXPECT_EQ(StatusText(), "Ready");
  }
}

struct ToolRow {
  int id;  // 0 for a separator
  const char* tooltip;
  const char* prompt;
  bool checkable;
};

TEST_F(CommandsTest, ToolbarHasNineItemsAndOnlyOpenHasATooltip) {
  const ToolRow rows[] = {
      {ID_FILE_OPEN, "Open", "Open an existing document", false},
      {0, "", "", false},
      {ID_VIEW_SANFRAN_PALETTE, "", "San-Francisco Palette", true},
      {ID_VIEW_SEATTLE_PALETTE, "", "Seattle Palette", true},
      {0, "", "", false},
      {ID_VIEW_WIREFRAME, "", "Wireframe Mode", true},
      {ID_VIEW_TEXTURED, "", "Textured Mode", true},
      {0, "", "", false},
      {ID_VIEW_BKGND_COLOR, "", "Change Background Color", false},
  };
  wxToolBar* bar = frame()->GetMainToolBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->GetToolsCount(), std::size(rows));
  for (std::size_t pos = 0; pos < std::size(rows); ++pos) {
    SCOPED_TRACE(pos);
    const wxToolBarToolBase* tool = bar->GetToolByPos(static_cast<int>(pos));
    ASSERT_NE(tool, nullptr);
    if (rows[pos].id == 0) {
      EXPECT_TRUE(tool->IsSeparator());
      continue;
    }
    EXPECT_EQ(tool->GetId(), rows[pos].id);
    EXPECT_EQ(tool->GetShortHelp(), rows[pos].tooltip);
    EXPECT_EQ(tool->GetLongHelp(), rows[pos].prompt);
    EXPECT_EQ(tool->CanBeToggled(), rows[pos].checkable);
    const wxBitmap bitmap = tool->GetNormalBitmap();
    EXPECT_EQ(bitmap.GetWidth(), 16);
    EXPECT_EQ(bitmap.GetHeight(), 15);
  }
}

// The pointer sweeps along the toolbar: each button shows its prompt while
// under it, in toolbar order, and the pane says "Ready" once it leaves. A
// model is open so that the palette buttons are enabled: the toolkit sends
// disabled buttons no pointer events.
TEST_F(CommandsTest, PointingAtEachButtonShowsItsPrompt) {
  view()->OpenModel(WriteModel("square.bin", RedSquareModel()));
  frame()->UpdateWindowUI(wxUPDATE_UI_RECURSE);
  Pump(50);
  wxToolBar* bar = frame()->GetMainToolBar();
  const int y = bar->GetClientSize().y / 2;
  std::vector<wxString> seen;
  for (int x = 2; x < 320; x += 5) {
    PointAt(bar, wxPoint(x, y));
    const wxString text = StatusText();
    if (text != "Ready" && (seen.empty() || seen.back() != text)) seen.push_back(text);
  }
  const std::vector<wxString> expected = {"Open an existing document",
                                          "San-Francisco Palette",
                                          "Seattle Palette",
                                          "Wireframe Mode",
                                          "Textured Mode",
                                          "Change Background Color"};
  EXPECT_EQ(seen, expected);

  PointAt(view(), wxPoint(100, 100));
  EXPECT_TRUE(PumpUntil([&] { return StatusText() == "Ready"; }, 2000)) << StatusText();
}

struct KeyRow {
  int key;
  int modifiers;
  int id;
  const char* name;
};

TEST_F(CommandsTest, EachAcceleratorSendsItsCommandOnce) {
  const KeyRow keys[] = {
      {'N', wxMOD_CONTROL, ID_FILE_NEW, "Ctrl+N"},
      {'O', wxMOD_CONTROL, ID_FILE_OPEN, "Ctrl+O"},
      {'S', wxMOD_CONTROL, ID_FILE_SAVE, "Ctrl+S"},
      {'Z', wxMOD_CONTROL, ID_EDIT_UNDO, "Ctrl+Z"},
      {'X', wxMOD_CONTROL, ID_EDIT_CUT, "Ctrl+X"},
      {'C', wxMOD_CONTROL, ID_EDIT_COPY, "Ctrl+C"},
      {'V', wxMOD_CONTROL, ID_EDIT_PASTE, "Ctrl+V"},
      {WXK_BACK, wxMOD_ALT, ID_EDIT_UNDO, "Alt+Backspace"},
      {WXK_DELETE, wxMOD_SHIFT, ID_EDIT_CUT, "Shift+Delete"},
      {WXK_INSERT, wxMOD_CONTROL, ID_EDIT_COPY, "Ctrl+Insert"},
      {WXK_INSERT, wxMOD_SHIFT, ID_EDIT_PASTE, "Shift+Insert"},
      {WXK_F6, wxMOD_NONE, ID_NEXT_PANE, "F6"},
      {WXK_F6, wxMOD_SHIFT, ID_PREV_PANE, "Shift+F6"},
      {'E', wxMOD_CONTROL, ID_FILE_EXPORT, "Ctrl+E"},
  };
  // Export needs a model to export.
  view()->OpenModel(WriteModel("square.bin", RedSquareModel()));
  PointAt(view(), wxPoint(50, 50));
  view()->SetFocus();
  Pump(50);
  for (const KeyRow& row : keys) {
    SCOPED_TRACE(row.name);
    CommandLog log;
    wxUIActionSimulator sim;
    sim.Char(row.key, row.modifiers);
    PumpUntil([&] { return !log.ids.empty(); }, 1000);
    Pump(50);
    EXPECT_EQ(log.ids, std::vector<int>{row.id});
  }
  // Open, Save and Export asked for a file (the recorder cancelled them).
  EXPECT_EQ(recorder().openRequests().size(), 1u);
  EXPECT_EQ(recorder().saveRequests().size(), 2u);
}

TEST_F(CommandsTest, EditAndPaneCommandsAreDisabledAndChangeNothing) {
  const std::string model = WriteModel("square.bin", RedSquareModel());
  view()->OpenModel(model);
  const double distance = doc().Camera().dDistance;
  recorder().ClearLog();
  for (int id : std::initializer_list<int>{ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE,
                                           ID_NEXT_PANE, ID_PREV_PANE}) {
    SCOPED_TRACE(id);
    wxUpdateUIEvent update(id);
    frame()->ProcessWindowEvent(update);
    EXPECT_TRUE(update.GetSetEnabled());
    EXPECT_FALSE(update.GetEnabled());
    wxCommandEvent command(wxEVT_MENU, id);
    frame()->ProcessWindowEvent(command);
  }
  Pump(20);
  EXPECT_TRUE(recorder().events().empty());
  EXPECT_EQ(doc().Camera().dDistance, distance);
  EXPECT_EQ(view()->ModelPath(), model);
  EXPECT_EQ(frame()->GetTitle(), "Zorvik - " + model);
}

TEST_F(CommandsTest, ViewMenuTogglesToolbarAndStatusBarWithCheckMarks) {
  wxMenu* viewMenu = frame()->GetMenuBar()->GetMenu(1);
  const struct {
    int id;
    wxWindow* bar;
  } toggles[] = {{ID_VIEW_TOOLBAR, frame()->GetMainToolBar()},
                 {ID_VIEW_STATUS_BAR, frame()->GetStatusBar()}};
  for (const auto& toggle : toggles) {
    SCOPED_TRACE(toggle.id);
    viewMenu->UpdateUI();
    EXPECT_TRUE(viewMenu->IsChecked(toggle.id));
    const int heightBefore = view()->GetClientSize().y;

    // The first choice hides the bar and gives the view its room, the
    // second shows it again at the height it had.
    for (const bool shown : {false, true}) {
      wxCommandEvent choice(wxEVT_MENU, toggle.id);
      frame()->ProcessWindowEvent(choice);
      Pump(50);
      viewMenu->UpdateUI();
      EXPECT_EQ(toggle.bar->IsShown(), shown);
      EXPECT_EQ(viewMenu->IsChecked(toggle.id), shown);
      if (shown) {
        EXPECT_EQ(view()->GetClientSize().y, heightBefore);
      } else {
        EXPECT_GT(view()->GetClientSize().y, heightBefore);
      }
    }
  }
}

#ifdef _WIN32
// Windows' Scroll Lock locks on every keyboard.
void LetScrollLockLock() {}

// The key goes down and up through the system's input queue, as a
// keyboard's would.
bool PressLockKey(const char* key) {
  const int code = std::string(key) == "Caps_Lock"  ? WXK_CAPITAL
                   : std::string(key) == "Num_Lock" ? WXK_NUMLOCK
                                                    : WXK_SCROLL;
  wxUIActionSimulator sim;
  return sim.KeyDown(code) && sim.KeyUp(code);
}
#else
bool PressLockKey(const char* key) {
  return std::system((std::string("xdotool key ") + key).c_str()) == 0;
}

// A keyboard whose Scroll Lock locks, as on desktops where its light works:
// the bare virtual display binds the key to no modifier, so neither the
// lock nor its light ever comes on there.
void LetScrollLockLock() {
  Display* display = static_cast<Display*>(wxGetDisplayInfo().dpy);
  XModifierKeymap* map = XGetModifierMapping(display);
  map = XInsertModifiermapEntry(map, XKeysymToKeycode(display, XK_Scroll_Lock), Mod3MapIndex);
  XSetModifierMapping(display, map);
  XFreeModifiermap(map);
  XSync(display, False);
}
#endif

// The lock keys are pressed for real; each indicator pane follows its
// lock on and off again, not the key going down and up.
TEST_F(CommandsTest, LockIndicatorsShowWhileTheLocksAreOn) {
  LetScrollLockLock();
  const struct {
    const char* key;
    int field;
    const char* text;
  } locks[] = {{"Caps_Lock", 1, "CAP"}, {"Num_Lock", 2, "NUM"}, {"Scroll_Lock", 3, "SCRL"}};
  PointAt(view(), wxPoint(60, 60));
  wxStatusBar* bar = frame()->GetStatusBar();
  for (const auto& lock : locks) {
    SCOPED_TRACE(lock.text);
    const wxString before = bar->GetStatusText(lock.field);
    const wxString toggled = before.empty() ? wxString(lock.text) : wxString();
    ASSERT_TRUE(PressLockKey(lock.key));
    EXPECT_TRUE(PumpUntil([&] { return bar->GetStatusText(lock.field) == toggled; }, 3000));
    ASSERT_TRUE(PressLockKey(lock.key));
    EXPECT_TRUE(PumpUntil([&] { return bar->GetStatusText(lock.field) == before; }, 3000));
  }
}

}  // namespace
}  // namespace window_test
