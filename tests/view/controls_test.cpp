// Help > Controls and the README list the same controls, from one table.
#include <wx/listctrl.h>
#include <wx/modalhook.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/window_fixture.h"
#include "view/controls.h"
#include "view/controls_dlg.h"

namespace {

// The rows of the README's table under "## Using the viewer", cells
// trimmed, header and rule left out.
std::vector<std::pair<std::string, std::string>> ReadmeControls() {
  std::ifstream in(std::string(ZORVIK_SOURCE_DIR) + "/README.md");
  std::vector<std::pair<std::string, std::string>> rows;
  bool inSection = false, inTable = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("## ", 0) == 0) inSection = line == "## Using the viewer";
    if (!inSection) continue;
    if (line.rfind("| Input | Action |", 0) == 0) {
      inTable = true;
      continue;
    }
    if (!inTable || line.rfind("|---", 0) == 0) continue;
    if (line.empty() || line[0] != '|') break;
    // The last " | " splits the two cells: inputs hold no " | ".
    const std::string inner = line.substr(2, line.size() - 4);
    const auto split = inner.rfind(" | ");
    rows.emplace_back(inner.substr(0, split), inner.substr(split + 3));
  }
  return rows;
}

TEST(Controls, ReadmeTableIsTheViewersOwn) {
  std::vector<std::pair<std::string, std::string>> code;
  for (const ControlRow& row : ViewerControls()) code.emplace_back(row.input, row.action);
  EXPECT_EQ(ReadmeControls(), code) << "copy the table of src/view/controls.cpp into the README";
}

class ControlsWindowTest : public window_test::WindowFixture {};

// F1 opens the list over the main window, every control in it as plain text.
TEST_F(ControlsWindowTest, F1ListsEveryControlOverTheMainWindow) {
  WritePalettes();
  StartViewer();
  // Wider than the list, so that centring it is not cut short by the
  // screen's edge.
  frame()->SetSize(1100, 700);
  window_test::Pump(100);
  std::vector<std::pair<std::string, std::string>> listed;
  wxRect shown, main = frame()->GetScreenRect();
  class Catcher : public wxModalDialogHook {
   public:
    explicit Catcher(std::function<void(wxDialog*)> look) : m_look(std::move(look)) { Register(); }
    ~Catcher() override { Unregister(); }
    int Enter(wxDialog* dialog) override {
      m_look(dialog);
      return wxID_OK;
    }
    void Exit(wxDialog*) override {}

   private:
    std::function<void(wxDialog*)> m_look;
  } catcher([&](wxDialog* dialog) {
    auto* controls = dynamic_cast<CControlsDlg*>(dialog);
    if (controls == nullptr) return;
    shown = controls->GetRect();
    wxListCtrl* list = controls->GetList();
    for (long i = 0; i < list->GetItemCount(); ++i) {
      listed.emplace_back(list->GetItemText(i, 0).utf8_string(),
                          list->GetItemText(i, 1).utf8_string());
    }
  });
  wxCommandEvent f1(wxEVT_MENU, ID_HELP_CONTROLS);
  frame()->ProcessWindowEvent(f1);

  ASSERT_EQ(listed.size(), ViewerControls().size());
  EXPECT_EQ(listed.front(), (std::pair<std::string, std::string>{
                                "left drag", "turn about Y and X (with Ctrl: about Z)"}));
  for (const auto& [input, action] : listed) {
    EXPECT_EQ(input.find('`'), std::string::npos) << input;
  }
  EXPECT_NEAR(shown.x + shown.width / 2, main.x + main.width / 2, 2);
  EXPECT_NEAR(shown.y + shown.height / 2, main.y + main.height / 2, 2);
}

}  // namespace
