// File > Save from the keyboard: Ctrl+S in the window asks for a ".cob"
// name and writes the open model there, or tells the user why it could not.
#ifndef _WIN32
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/timer.h>

#include "app/window_fixture.h"
#include "convert/cob_export.h"
#include "input_driver.h"
#include "platform/platform_wx.h"
#include "view_models.h"

#ifndef _WIN32
extern char** environ;
#endif

namespace {

namespace fs = std::filesystem;

using platform::MsgIcon;
using platform::RecordedMessage;
using window_test::PumpUntil;
using Messages = std::vector<RecordedMessage>;

std::vector<std::uint8_t> FileBytes(const std::string& path) {
  const std::string text = ReadWholeFile(path);
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

// Knows the modal dialog on screen (the native file dialog is not among the
// top-level windows) so that a stuck one can be cancelled.
class ModalWatch : public wxModalDialogHook {
 public:
  ModalWatch() { Register(); }
  void CancelOpenDialog() {
    if (m_pOpen != nullptr) m_pOpen->EndModal(wxID_CANCEL);
  }

 protected:
  int Enter(wxDialog* dialog) override {
    m_pOpen = dialog;
    return wxID_NONE;
  }
  void Exit(wxDialog* /*dialog*/) override { m_pOpen = nullptr; }

 private:
  wxDialog* m_pOpen = nullptr;
};

#ifdef _WIN32
// A shell command run beside the test; under Wine it cannot be ended from
// here, so it ends itself after a while.
class BackgroundShell {
 public:
  explicit BackgroundShell(const std::string& command) { StartLinuxShell(command); }
};
#else
// A shell command run beside the test in a process group of its own, so
// that the group (the shell and the xdotool it started) can be ended when
// the object goes.
class BackgroundShell {
 public:
  explicit BackgroundShell(const std::string& command) {
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    if (posix_spawnp(&m_pid, "sh", nullptr, &attr, const_cast<char* const*>(argv), environ) != 0) {
      m_pid = 0;
    }
    posix_spawnattr_destroy(&attr);
  }
  ~BackgroundShell() {
    if (m_pid == 0) return;
    kill(-m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
  }
  BackgroundShell(const BackgroundShell&) = delete;
  BackgroundShell& operator=(const BackgroundShell&) = delete;

 private:
  pid_t m_pid = 0;
};
#endif

class FileSaveTest : public window_test::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    WritePalettes();
    StartViewer();
    m_driver = std::make_unique<InputDriver>(view());
    const wxSize size = view()->GetClientSize();
    ASSERT_TRUE(m_driver->Hover(wxPoint(size.x / 2, size.y / 2)));
  }

  void TearDown() override {
    m_driver.reset();
    WindowFixture::TearDown();
  }

  // Presses Ctrl+S (or another Ctrl key) over the view; true when the
  // command asked for a file name.
  bool PressCtrlS(const char* key = "ctrl+s") {
    const std::size_t before = recorder().saveRequests().size();
    if (!m_driver->Run({"key", key}, wxEVT_KEY_UP, 0)) return false;
    return PumpUntil([&] { return recorder().saveRequests().size() > before; }, 2000);
  }
  bool PressCtrlE() { return PressCtrlS("ctrl+e"); }

  std::unique_ptr<InputDriver> m_driver;
};

// What the system says of a file taken for a folder: Windows knows no
// such error, only a path that is not there.
#ifdef _WIN32
constexpr const char* kFileAsFolder = "No such file or directory";
#else
constexpr const char* kFileAsFolder = "Not a directory";
#endif

TEST_F(FileSaveTest, CtrlSWritesTheOpenModelOrReportsWhyNot) {
  view()->OpenModel(WriteModel("counted.bin", view_test::CountedModel(4, 5, 2)));
  ASSERT_EQ(doc().Model().Polygons().size(), 4u);
  recorder().ClearLog();

  std::ofstream(dir().File("plain")) << "x";
  struct Case {
    std::string name;
    std::optional<std::string> answer;  // nullopt: the user cancels
    Messages messages;
    bool written;
  };
  const std::string good = dir().File("counted.cob");
  const std::string bad = dir().File("plain") + "/counted.cob";
  const std::vector<Case> cases = {
      {"cancelled", std::nullopt, {}, false},
      {"saved", good, {}, true},
      {"cannot be created",
       bad,
       {{"Error opening " + bad + " for writing\r\n" + kFileAsFolder, MsgIcon::Stop}},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(good);
    recorder().ClearLog();
    recorder().QueueSaveAnswer(c.answer);
    ASSERT_TRUE(PressCtrlS());
    window_test::Pump(50);

    ASSERT_EQ(recorder().saveRequests().size(), 1u);
    const platform::SaveFileRequest& request = recorder().saveRequests()[0];
    EXPECT_EQ(request.strInitialDir, dir().path().string());  // the model's directory
    EXPECT_EQ(request.strInitialName, "counted.cob");
    EXPECT_EQ(request.strDefaultExt, ".cob");
    EXPECT_EQ(request.strFilter, "Truespace Object Files (*.cob)|*.cob|All Files (*.*)|*.*");
    EXPECT_TRUE(request.bOverwritePrompt);
    EXPECT_EQ(recorder().messages(), c.messages);
    EXPECT_EQ(fs::exists(good), c.written);
    if (c.written) {
      EXPECT_EQ(FileBytes(good), cob::BuildCobFile(doc().Model()));
    }
  }
  EXPECT_EQ(ReadWholeFile(dir().File("plain")), "x");
}

// With no model open there is nothing to save or export: both commands are
// disabled, ask nothing and write nothing.
TEST_F(FileSaveTest, WithNoModelOpenSaveAndExportAreDisabled) {
  recorder().ClearLog();
  for (const int id : {static_cast<int>(ID_FILE_SAVE), static_cast<int>(ID_FILE_EXPORT)}) {
    wxUpdateUIEvent update(id);
    frame()->ProcessWindowEvent(update);
    EXPECT_FALSE(update.GetEnabled()) << id;
  }
  recorder().QueueSaveAnswer(dir().File("empty.cob"));
  EXPECT_FALSE(PressCtrlS());
  recorder().QueueSaveAnswer(dir().File("empty.glb"));
  EXPECT_FALSE(PressCtrlE());
  EXPECT_FALSE(fs::exists(dir().File("empty.cob")));
  EXPECT_FALSE(fs::exists(dir().File("empty.glb")));
  EXPECT_EQ(recorder().messages(), Messages{});
}

// Ctrl+E offers the four formats in the model's directory under the
// model's name, and writes what is on screen: the colours as the palette
// shown makes them.
TEST_F(FileSaveTest, CtrlEExportsTheModelAsShown) {
  const std::string model = WriteModel("square.bin", window_test::RedSquareModel());
  view()->OpenModel(model);
  wxUpdateUIEvent update(ID_FILE_EXPORT);
  frame()->ProcessWindowEvent(update);
  EXPECT_TRUE(update.GetEnabled());

  const struct {
    int palette;
    std::string answer;
    std::vector<std::string> written;
    const char* start;  // what the main file begins with
  } cases[] = {
      {0, dir().File("sq.glb"), {"sq.glb"}, "glTF"},
      {0, dir().File("sq.obj"), {"sq.obj", "sq.mtl"}, "# "},
      {1, dir().File("seattle.obj"), {"seattle.obj", "seattle.mtl"}, "# "},
      {1, dir().File("copy.bin"), {"copy.bin"}, "LGMD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    if (doc().PaletteIndex() != c.palette) view()->SwitchPalette(c.palette);
    recorder().ClearLog();
    recorder().QueueSaveAnswer(c.answer);
    ASSERT_TRUE(PressCtrlE());
    window_test::Pump(50);
    const platform::SaveFileRequest& request = recorder().saveRequests().at(0);
    EXPECT_EQ(request.strFilter,
              "glTF Binary (*.glb)|*.glb|glTF (*.gltf)|*.gltf|Wavefront OBJ (*.obj)|*.obj|"
              "LGMD model (*.bin)|*.bin");
    EXPECT_EQ(request.strInitialDir, dir().path().string());
    EXPECT_EQ(request.strInitialName, "square.glb");
    EXPECT_TRUE(request.bExtensionFromFilter);
    EXPECT_TRUE(request.bOverwritePrompt);
    EXPECT_EQ(recorder().messages(), Messages{});
    for (const std::string& name : c.written) EXPECT_TRUE(fs::exists(dir().File(name))) << name;
    EXPECT_EQ(ReadWholeFile(c.answer).rfind(c.start, 0), 0u);
  }
  // San Francisco shows the square red; Seattle matches it to its palette.
  EXPECT_NE(ReadWholeFile(dir().File("sq.mtl")).find("Kd 1 0 0\n"), std::string::npos);
  EXPECT_EQ(ReadWholeFile(dir().File("seattle.mtl")).find("Kd 1 0 0\n"), std::string::npos);
  // The LGMD model is the file saved again, with its own colours whatever
  // the palette shown: byte for byte the file the builder wrote.
  EXPECT_EQ(ReadWholeFile(dir().File("copy.bin")), ReadWholeFile(model));
}

// Neither Save nor Export writes over the model that is open, by whatever
// name it is given; the model file stays as it was.
TEST_F(FileSaveTest, TheOpenModelFileIsNotWrittenOver) {
  const std::string model = WriteModel("square.bin", window_test::RedSquareModel());
  view()->OpenModel(model);
  const std::string bytes = ReadWholeFile(model);
  // Export may name the model itself, as an LGMD file, or a link to it.
  // (Windows lets only some accounts make links, and Wine none.)
  const std::string link = dir().File("link.glb");
  std::error_code noLink;
  fs::create_symlink(model, link, noLink);
  struct Case {
    const char* key;
    std::string answer;
    std::string named;  // how the refusal names the model when the answer is another name
  };
  std::vector<Case> cases = {{"ctrl+s", model, ""}, {"ctrl+e", model, ""}};
  if (!noLink) cases.push_back({"ctrl+e", link, " (" + model + ")"});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    recorder().ClearLog();
    recorder().QueueSaveAnswer(c.answer);
    ASSERT_TRUE(PressCtrlS(c.key));
    window_test::Pump(50);
    EXPECT_EQ(recorder().messages(),
              (Messages{{"Error opening " + c.answer + " for writing\r\nit is the open model file" +
                             c.named,
                         MsgIcon::Stop}}));
  }
  EXPECT_EQ(ReadWholeFile(model), bytes);
  EXPECT_EQ(doc().Model().PolygonCount(), 1);
}

// The real save dialog, typed into as a user types: a name without an
// extension comes back with ".cob".
TEST_F(FileSaveTest, NameTypedWithoutExtensionGetsCob) {
  view()->OpenModel(WriteModel("counted.bin", view_test::CountedModel(3, 4, 1)));
  const fs::path previous = fs::current_path();
  fs::current_path(dir().path());  // where the dialog starts
  platform::WxPlatform real;
  platform::SetCurrent(&real);

  // The typist waits for the dialog to be on screen, points at it and
  // types the name and Enter (through XTEST, as a keyboard would).
  BackgroundShell typist(
      "w=$(xdotool search --sync --onlyvisible --name '^Save As$' | head -n 1) && "
      "xdotool mousemove --window \"$w\" 60 60 sleep 0.5 key --delay 30 p l a n e sleep 0.5 "
      "key Return");
  // Should the typing go astray, the dialog is cancelled rather than left
  // waiting for ever.
  ModalWatch watch;
  wxTimer rescue;
  rescue.Bind(wxEVT_TIMER, [&watch](wxTimerEvent&) { watch.CancelOpenDialog(); });
  rescue.StartOnce(20000);
  const bool pressed = m_driver->Run({"key", "ctrl+s"}, wxEVT_KEY_UP, 0);
  const std::string expected = dir().File("plane.cob");
  const bool saved = pressed && PumpUntil([&] { return fs::exists(expected); }, 25000);
  rescue.Stop();

  platform::SetCurrent(&recorder());
  fs::current_path(previous);
  ASSERT_TRUE(pressed);
  ASSERT_TRUE(saved) << "the typed name did not come back as plane.cob";
  EXPECT_FALSE(fs::exists(dir().File("plane")));
  EXPECT_EQ(FileBytes(expected), cob::BuildCobFile(doc().Model()));
}

}  // namespace
