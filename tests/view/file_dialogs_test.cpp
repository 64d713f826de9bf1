// The platform layer's real dialogs, caught as they open: the file dialogs'
// titles, starting folders and filters as GTK holds them, and the box for
// a message too long for a plain one.
#include <gtk/gtk.h>

#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/statbmp.h>
#include <wx/timer.h>

#include <functional>
#include <string>

#include "app/window_fixture.h"
#include "io/text.h"
#include "platform/file_filters.h"
#include "platform/long_message_wx.h"
#include "platform/platform_wx.h"

namespace {

// Hands each dialog that opens modally to a function, whose answer ends it
// unseen (wxID_NONE lets it show).
class DialogCatcher : public wxModalDialogHook {
 public:
  explicit DialogCatcher(std::function<int(wxDialog*)> answer) : m_answer(std::move(answer)) {
    Register();
  }
  ~DialogCatcher() override { Unregister(); }

 protected:
  int Enter(wxDialog* dialog) override { return m_answer(dialog); }
  void Exit(wxDialog*) override {}

 private:
  std::function<int(wxDialog*)> m_answer;
};

class FileDialogsTest : public window_test::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    WritePalettes();
    StartViewer();
    platform::SetCurrent(&m_real);
  }
  void TearDown() override {
    platform::SetCurrent(&recorder());
    WindowFixture::TearDown();
  }

  platform::WxPlatform m_real;
};

GtkFileChooser* ChooserOf(wxDialog* dialog) {
  return GTK_FILE_CHOOSER(static_cast<GtkWidget*>(dialog->GetHandle()));
}

std::string Take(gchar* text) {
  std::string taken = text != nullptr ? text : "";
  g_free(text);
  return taken;
}

// The title the display shows.
std::string TitleOf(wxDialog* dialog) {
  const char* title =
      gtk_window_get_title(GTK_WINDOW(static_cast<GtkWidget*>(dialog->GetHandle())));
  return title != nullptr ? title : "";
}

// Lets the next file dialog open for real and, once it is on screen with
// its folder loaded, hands it to act, whose answer closes it.
class WhenShown {
 public:
  explicit WhenShown(std::function<int(wxDialog*)> act)
      : m_catcher([this](wxDialog* dialog) {
          m_pDialog = dialog;
          return wxID_NONE;
        }) {
    m_timer.Bind(wxEVT_TIMER, [this, act](wxTimerEvent&) {
      if (m_pDialog == nullptr || !m_pDialog->IsShownOnScreen()) return;
      const bool loaded = !Take(gtk_file_chooser_get_current_folder(ChooserOf(m_pDialog))).empty();
      if (!loaded && ++m_nWaited < 50) return;
      m_timer.Stop();
      wxDialog* dialog = m_pDialog;
      m_pDialog = nullptr;
      dialog->EndModal(act(dialog));
    });
    m_timer.Start(100);
  }

 private:
  DialogCatcher m_catcher;
  wxTimer m_timer;
  wxDialog* m_pDialog = nullptr;
  int m_nWaited = 0;
};

// Whether GTK's filter now chosen in the dialog lists a file of that name.
bool Lists(GtkFileChooser* chooser, const char* name) {
  GtkFileFilterInfo info{};
  info.contains = GTK_FILE_FILTER_DISPLAY_NAME;
  info.display_name = name;
  GtkFileFilter* filter = gtk_file_chooser_get_filter(chooser);
  return filter != nullptr && gtk_file_filter_filter(filter, &info);
}

TEST_F(FileDialogsTest, OpenDialogListsModelsInAnyCaseUnderItsFilterText) {
  std::string title, folder, filterName;
  std::vector<bool> listed;
  WhenShown shown([&](wxDialog* dialog) {
    title = TitleOf(dialog);
    GtkFileChooser* chooser = ChooserOf(dialog);
    folder = Take(gtk_file_chooser_get_current_folder(chooser));
    filterName = gtk_file_filter_get_name(gtk_file_chooser_get_filter(chooser));
    for (const char* name : {"plane.bin", "PLANE.BIN", "Plane.Bin", "plane.bin.txt", "plane.bn"}) {
      listed.push_back(Lists(chooser, name));
    }
    return wxID_CANCEL;
  });
  platform::OpenFileRequest request;
  request.strDefaultExt = "bin";
  request.strFilter = "LGMD 3D Models (*.bin)|*.bin";
  request.strInitialDir = dir().path().string();
  std::string path;
  EXPECT_FALSE(platform::Current().AskOpenFile(request, path));

  EXPECT_EQ(title, "Open");
  EXPECT_EQ(folder, dir().path().string());
  EXPECT_EQ(filterName, "LGMD 3D Models (*.bin)");
  EXPECT_EQ(listed, (std::vector<bool>{true, true, true, false, false}));
}

// The save dialog starts in the folder and with the name asked for; a
// name typed without an extension takes the one of the format chosen.
TEST_F(FileDialogsTest, SaveDialogStartsWhereAskedAndNamesTheChosenFormat) {
  const std::string filter =
      "glTF Binary (*.glb)|*.glb|glTF (*.gltf)|*.gltf|Wavefront OBJ (*.obj)|*.obj";
  std::string title, folder, name, switched;
  WhenShown shown([&](wxDialog* dialog) {
    title = TitleOf(dialog);
    GtkFileChooser* chooser = ChooserOf(dialog);
    folder = Take(gtk_file_chooser_get_current_folder(chooser));
    name = Take(gtk_file_chooser_get_current_name(chooser));
    // The user picks OBJ: the name offered follows; then types a bare name.
    static_cast<wxFileDialog*>(dialog)->SetFilterIndex(2);
    switched = Take(gtk_file_chooser_get_current_name(chooser));
    gtk_file_chooser_set_current_name(chooser, "plane");
    return wxID_OK;
  });
  platform::SaveFileRequest request;
  request.strFilter = filter;
  request.bExtensionFromFilter = true;
  request.strInitialDir = dir().path().string();
  request.strInitialName = "square.glb";
  std::string path;
  ASSERT_TRUE(platform::Current().AskSaveFile(request, path));

  EXPECT_EQ(title, "Save As");
  EXPECT_EQ(folder, dir().path().string());
  EXPECT_EQ(name, "square.glb");
  EXPECT_EQ(switched, "square.obj");
  EXPECT_EQ(path, dir().File("plane.obj"));
}

// A list of 128 missing textures: caption, text and no icon as in a plain
// box, but it scrolls inside a box that stands wholly on the screen, OK in
// reach (it is clicked for real). A short message stays a plain box.
TEST_F(FileDialogsTest, LongMessagesScrollInABoxThatFitsTheScreen) {
  std::string list = "Missing Textures:\r\n";
  for (int i = 0; i < 128; ++i) list += "\r\ntexture" + std::to_string(i) + ".mip";

  bool plainBox = false;
  platform::CLongMessageDlg* box = nullptr;
  DialogCatcher catcher([&](wxDialog* dialog) {
    box = dynamic_cast<platform::CLongMessageDlg*>(dialog);
    plainBox = dynamic_cast<wxMessageDialog*>(dialog) != nullptr;
    return box != nullptr ? wxID_NONE : wxID_OK;
  });
  platform::Current().ShowMessage("Missing Textures:\r\n\r\nwing.mip", platform::MsgIcon::None);
  EXPECT_TRUE(plainBox);
  EXPECT_EQ(box, nullptr);

  // Once the box is on screen its place is measured and its OK clicked.
  wxRect screen, shown, okRect;
  wxString caption, text;
  bool scrolls = false, icon = false;
  wxTimer look;
  look.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    if (box == nullptr || !box->IsShownOnScreen() || !shown.IsEmpty()) return;
    screen = wxDisplay(box).GetGeometry();
    shown = box->GetScreenRect();
    wxWindow* ok = box->FindWindow(wxID_OK);
    okRect = ok->GetScreenRect();
    caption = box->GetTitle();
    wxWindow* area = box->GetTextArea();
    scrolls = area->GetVirtualSize().y > area->GetClientSize().y;
    text = area->GetChildren().front()->GetLabel();
    for (wxWindow* child : box->GetChildren()) icon = icon || dynamic_cast<wxStaticBitmap*>(child);
    const wxPoint at = okRect.GetPosition() + okRect.GetSize() / 2;
    std::system(
        ("xdotool mousemove " + std::to_string(at.x) + " " + std::to_string(at.y) + " click 1")
            .c_str());
  });
  look.Start(100);
  platform::Current().ShowMessage(list, platform::MsgIcon::None);
  look.Stop();

  ASSERT_NE(box, nullptr) << "a long message came as a plain box";
  EXPECT_FALSE(plainBox);
  ASSERT_FALSE(shown.IsEmpty()) << "the box never showed";
  EXPECT_TRUE(screen.Contains(shown))
      << "box " << shown.x << "," << shown.y << " " << shown.width << "x" << shown.height;
  EXPECT_TRUE(screen.Contains(okRect));
  EXPECT_EQ(caption, "Zorvik");
  EXPECT_TRUE(scrolls);
  EXPECT_FALSE(icon);
  EXPECT_EQ(text.utf8_string(), ToDisplayLineBreaks(list));
}

}  // namespace
