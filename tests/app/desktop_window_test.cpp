// The desktop habits of the window: recent files, a dropped model, the
// models of a folder one after another, the view saved as a picture, the
// window's size kept between runs, and the installed icons.
#include <filesystem>

#include <wx/dnd.h>
#include <wx/image.h>
#include <wx/menu.h>

#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include "app/icons.h"
#include "app/recent_files.h"
#include "platform/install_layout.h"

#include "window_fixture.h"

namespace window_test {
namespace {

namespace fs = std::filesystem;
using platform::MsgIcon;

class DesktopWindowTest : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    wxImage::AddHandler(new wxPNGHandler);
    WritePalettes();
    WriteConfig(kPlainConfig);
    fs::create_directories(dir().path() / "models");
    StartViewer();
    recorder().ClearLog();
  }

  // A model (or, with text, a file that is none) in the models folder.
  std::string Model(const std::string& name, const char* text = nullptr) {
    const std::string path = (dir().path() / "models" / name).string();
    if (text != nullptr) {
      std::ofstream(path) << text;
    } else {
      WriteBytes(path, lgmd::Build(RedSquareModel()));
    }
    return path;
  }

  void Command(int id) {
    wxCommandEvent command(wxEVT_MENU, id);
    frame()->ProcessWindowEvent(command);
    Pump(20);
  }

  std::vector<std::string> MenuTail(std::size_t count) {
    const wxMenu* file = frame()->GetMenuBar()->GetMenu(0);
    std::vector<std::string> labels;
    for (std::size_t i = file->GetMenuItemCount() - count; i < file->GetMenuItemCount(); ++i) {
      wxString label = file->FindItemByPosition(i)->GetItemLabel();
      // Windows' toolkit marks a path to run left to right, whatever the
      // language's direction; the mark shows nothing.
      label.Replace(wxString(wxUniChar(0x202A)), wxString());
      labels.push_back(label.utf8_string());
    }
    return labels;
  }
};

TEST_F(DesktopWindowTest, RecentFilesAreTheLastFourNumberedAtTheEndOfTheFileMenu) {
  const std::string a = Model("a.bin"), b = Model("b.bin"), c = Model("c.bin"), d = Model("d.bin"),
                    e = Model("e.bin");
  for (const std::string& path : {a, b, c, d, e, b}) ASSERT_TRUE(view()->OpenModel(path));
  EXPECT_EQ(frame()->m_pRecentFiles->Files(), (std::vector<std::string>{b, e, d, c}));
  EXPECT_EQ(MenuTail(6),
            (std::vector<std::string>{"E&xit", "", "&1 " + b, "&2 " + e, "&3 " + d, "&4 " + c}));

  // Kept in the toolkit's settings file, not in "zorvik.cfg", and back in
  // the menu of the next run.
  // (Its value there is escaped: a Windows path's backslashes are doubled.)
  EXPECT_NE(ReadWholeFile(platform::UserConfigDir() + "/window.conf").find("e.bin"),
            std::string::npos);
  CloseViewer();
  EXPECT_EQ(ReadWholeFile(dir().File("zorvik.cfg")).find(e), std::string::npos);
  StartViewer();
  EXPECT_EQ(MenuTail(4), (std::vector<std::string>{"&1 " + b, "&2 " + e, "&3 " + d, "&4 " + c}));

  // Choosing one opens it as File Open does, and it moves to the top.
  Command(ID_FILE_MRU_FILE1 + 2);
  EXPECT_EQ(view()->ModelPath(), d);
  EXPECT_EQ(frame()->GetTitle(), "Zorvik - " + d);
  EXPECT_EQ(frame()->m_pRecentFiles->Files(), (std::vector<std::string>{d, b, e, c}));

  // A file that has gone says so as File Open would, and leaves the list.
  fs::remove(e);
  recorder().ClearLog();
  Command(ID_FILE_MRU_FILE1 + 2);
  ASSERT_EQ(recorder().messages().size(), 1u);
  EXPECT_EQ(recorder().messages()[0].text.rfind("Error Loading Model\r\n" + e + ": ", 0), 0u);
  EXPECT_EQ(view()->ModelPath(), d);
  EXPECT_EQ(frame()->m_pRecentFiles->Files(), (std::vector<std::string>{d, b, c}));
  EXPECT_EQ(MenuTail(5), (std::vector<std::string>{"E&xit", "", "&1 " + d, "&2 " + b, "&3 " + c}));
}

TEST_F(DesktopWindowTest, DroppedFileOpensAndAFileThatIsNoModelSaysSo) {
  const std::string model = Model("dropped.bin");
  auto* target = dynamic_cast<wxFileDropTarget*>(view()->GetDropTarget());
  ASSERT_NE(target, nullptr);
  wxArrayString files;
  files.Add(wxString::FromUTF8(model));
  EXPECT_TRUE(target->OnDropFiles(10, 10, files));
  ASSERT_TRUE(PumpUntil([&] { return view()->ModelPath() == model; }));
  EXPECT_EQ(frame()->GetTitle(), "Zorvik - " + model);

  files[0] = wxString::FromUTF8(Model("notes.bin", "not a model"));
  target->OnDropFiles(10, 10, files);
  ASSERT_TRUE(PumpUntil([&] { return !recorder().messages().empty(); }));
  EXPECT_EQ(recorder().messages()[0].text.rfind("Error Loading Model", 0), 0u);
  EXPECT_EQ(view()->ModelPath(), model);
}

TEST_F(DesktopWindowTest, NextAndPreviousGoThroughTheFoldersModelsInNameOrder) {
  // Name order as a file manager shows it: plane2 before plane10, case
  // aside. Files that are no model are passed over, whatever their name;
  // a model is one by its first bytes, whatever its name.
  const std::string p2 = Model("plane2.bin"), p10 = Model("Plane10.bin"),
                    other = Model("plane11.dat");
  Model("plane3.bin", "firmware, not a model");
  Model("readme.txt", "notes");
  Command(ID_VIEW_NEXT_MODEL);
  EXPECT_TRUE(view()->ModelPath().empty()) << "nothing is open, so there is no folder";

  ASSERT_TRUE(view()->OpenModel(p2));
  const std::pair<int, std::string> steps[] = {
      {ID_VIEW_NEXT_MODEL, p10},   {ID_VIEW_NEXT_MODEL, other}, {ID_VIEW_NEXT_MODEL, p2},
      {ID_VIEW_PREV_MODEL, other}, {ID_VIEW_PREV_MODEL, p10},
  };
  for (const auto& [command, expected] : steps) {
    Command(command);
    EXPECT_EQ(view()->ModelPath(), expected);
  }
  EXPECT_TRUE(recorder().messages().empty());

  // A damaged model says why once; the next step goes on past it.
  WriteBytes(Model("plane10b.bin"), {'L', 'G', 'M', 'D', 1, 2});
  Command(ID_VIEW_NEXT_MODEL);
  EXPECT_EQ(recorder().messages().size(), 1u);
  EXPECT_EQ(view()->ModelPath(), p10);
  Command(ID_VIEW_NEXT_MODEL);
  EXPECT_EQ(view()->ModelPath(), other);
  EXPECT_EQ(recorder().messages().size(), 1u);
}

TEST_F(DesktopWindowTest, SavePictureWritesWhatTheScreenShows) {
  view()->OpenModel(Model("square.bin"));
  int width = 0, height = 0;
  const auto screen = ReadViewPixels(width, height);
  ASSERT_GT(width, 0);

  const std::string path = dir().File("view.png");
  recorder().QueueSaveAnswer(path);
  Command(ID_FILE_SAVE_PICTURE);
  ASSERT_EQ(recorder().saveRequests().size(), 1u);
  // Offered beside the model, under its name.
  const platform::SaveFileRequest& request = recorder().saveRequests()[0];
  EXPECT_EQ(request.strDefaultExt, ".png");
  EXPECT_EQ(request.strTitle, "Save Picture");
  EXPECT_EQ((fs::path(request.strInitialDir) / request.strInitialName).string(),
            fs::path(Model("square.bin")).replace_extension(".png").string());
  wxImage picture;
  ASSERT_TRUE(picture.LoadFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG));
  ASSERT_EQ(picture.GetWidth(), width);
  ASSERT_EQ(picture.GetHeight(), height);
  int differing = 0;
  for (int i = 0; i < width * height * 3; ++i) {
    differing += std::abs(picture.GetData()[i] - screen[static_cast<std::size_t>(i)]) > 2;
  }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(picture.GetRed(width / 2, height / 2), 150) << "the red square";

  // A place that cannot be written: the stop box, and no file.
  recorder().QueueSaveAnswer(dir().File("no such folder/view.png"));
  Command(ID_FILE_SAVE_PICTURE);
  ASSERT_EQ(recorder().messages().size(), 1u);
  EXPECT_EQ(recorder().messages()[0].icon, MsgIcon::Stop);
  EXPECT_FALSE(fs::exists(dir().File("no such folder")));

  // The open model itself: refused, the model as it was.
  const std::string model = view()->ModelPath();
  const std::string bytes = ReadWholeFile(model);
  recorder().QueueSaveAnswer(model);
  Command(ID_FILE_SAVE_PICTURE);
  ASSERT_EQ(recorder().messages().size(), 2u);
  EXPECT_EQ(recorder().messages()[1].text,
            "Error opening " + model + " for writing\r\nit is the open model file");
  EXPECT_EQ(ReadWholeFile(model), bytes);
}

// The next run shows the window as this one left it: the bars hidden, and
// maximised (under a window manager, which alone maximises) with the
// normal size kept for when it is restored.
TEST_F(DesktopWindowTest, WindowStateIsKeptBetweenRuns) {
  frame()->SetSize(640, 420);
  Pump(50);
  const wxSize size = frame()->GetSize();
  Command(ID_VIEW_TOOLBAR);
  Command(ID_VIEW_STATUS_BAR);
  frame()->Maximize(true);
  const bool maximized = PumpUntil([this] { return frame()->IsMaximized(); }, 2000);
  CloseViewer();

  StartViewer();
  EXPECT_FALSE(frame()
                   ->GetDockManager()
                   .GetPane(static_cast<wxWindow*>(frame()->GetMainToolBar()))
                   .IsShown());
  EXPECT_FALSE(frame()->m_wndStatusBar->IsShown());
  if (maximized) {
    ASSERT_TRUE(PumpUntil([this] { return frame()->IsMaximized(); }, 2000));

    EXPECT_NE(frame()->GetSize(), size);
    frame()->Maximize(false);
    ASSERT_TRUE(PumpUntil([this] { return !frame()->IsMaximized(); }, 2000));
  }
  EXPECT_TRUE(PumpUntil([&] { return frame()->GetSize() == size; }, 2000))
      << frame()->GetSize().x << "x" << frame()->GetSize().y;
}

TEST(DesktopIcons, InstalledIconsAreTheProgramsOwnDrawing) {
  wxImage::AddHandler(new wxPNGHandler);
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    SCOPED_TRACE(size);
    wxImage installed;
    ASSERT_TRUE(installed.LoadFile(
        std::string(ZORVIK_SOURCE_DIR) + "/data/icons/zorvik-" + std::to_string(size) + ".png",
        wxBITMAP_TYPE_PNG));
    const wxImage drawn = MakeAppIconImage(size);
    ASSERT_EQ(installed.GetSize(), drawn.GetSize());
    int differing = 0;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const bool clear = installed.GetAlpha(x, y) == 0 && drawn.GetAlpha(x, y) == 0;
        differing += !clear && (std::abs(installed.GetAlpha(x, y) - drawn.GetAlpha(x, y)) > 2 ||
                                std::abs(installed.GetRed(x, y) - drawn.GetRed(x, y)) > 2);
      }
    }
    EXPECT_EQ(differing, 0) << "run scripts/make-icons.sh after changing the icon's drawing";
  }
}

}  // namespace
}  // namespace window_test
