// The real program started with a model named on its command line, on the
// test's display: the window's title, what it shows, and a clean exit
// through File > Exit that saves the settings beside the executable.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "window_fixture.h"

extern char** environ;

namespace window_test {
namespace {

namespace fs = std::filesystem;

// The output of a shell command, trailing line end removed.
std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
    pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

// Polls until the program's main window titled with the prefix exists;
// its X id, or empty.
std::string WaitForWindow(const std::string& titleRegex, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 100) {
    const std::string id =
        Shell("xdotool search --name '" + titleRegex + "' 2>/dev/null | head -1");
    if (!id.empty()) return id;
    usleep(100 * 1000);
  }
  return {};
}

// The exit status of pid, or -1 when it is still running after timeoutMs.
int WaitForExit(pid_t pid, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 50) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    usleep(50 * 1000);
  }
  return -1;
}

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
  int CentreX() const { return x + width / 2; }
  int CentreY() const { return y + height / 2; }
};

// Where the X window stands on the screen, as xdotool tells it.
Geometry GeometryOf(const std::string& window) {
  Geometry g;
  std::istringstream in(Shell("xdotool getwindowgeometry --shell " + window));
  std::string line;
  while (std::getline(in, line)) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq);
    const int value = std::atoi(line.c_str() + eq + 1);
    if (key == "X") g.x = value;
    if (key == "Y") g.y = value;
    if (key == "WIDTH") g.width = value;
    if (key == "HEIGHT") g.height = value;
  }
  return g;
}

// The program's message box (a window titled "Zorvik" of the dialog type);
// empty when none shows within timeoutMs.
std::string WaitForMessageBox(int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 100) {
    std::istringstream ids(Shell("xdotool search --onlyvisible --name '^Zorvik$' 2>/dev/null"));
    std::string id;
    while (ids >> id) {
      if (Shell("xprop -id " + id + " _NET_WM_WINDOW_TYPE").find("DIALOG") != std::string::npos) {
        return id;
      }
    }
    usleep(100 * 1000);
  }
  return {};
}

class CommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The program keeps its settings and palettes beside itself, so it runs
    // from a copy in this test's directory; the build's own settings stay
    // untouched. Its toolkit settings go to a home of its own.
    const fs::path built = fs::path(ZORVIK_BINARY_DIR) / "zorvik";
    ASSERT_TRUE(fs::exists(built)) << built << " is not built";
    fs::copy_file(built, m_dir.path() / "zorvik");
    fs::copy_file(fs::path(ZORVIK_BINARY_DIR) / "zorvik-viewer.so",
                  m_dir.path() / "zorvik-viewer.so");
    fs::create_directories(m_dir.path() / "home");
    fs::create_directories(m_dir.path() / "models");
    WritePalette(m_dir.File("sanfran.pal"));
    WritePalette(m_dir.File("seattle.pal"));
    std::ofstream(m_dir.File("zorvik.cfg")) << "Region 0\nBkgndClr 0 0 1\nLastOpenDir -\n";
  }

  void TearDown() override {
    if (m_pid > 0 && WaitForExit(m_pid, 0) == -1) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
  }

  // Starts the program with a model named on the command line and checks
  // that the window, titled as given, draws it in colour (at least one
  // pixel in minShare) with no message, and ends through its menu.
  void ExpectDrawnAtStart(const std::string& model, const char* title, int minShare);

  // Starts the program on model from the working directory cwd (the
  // test's own when empty), its stderr into errPath when given.
  void Start(const std::string& model, const std::string& cwd = "",
             const std::string& errPath = "") {
    const std::string exe = m_dir.File("zorvik");
    const std::string home = "HOME=" + m_dir.File("home");
    std::vector<std::string> envStrings = {home};
    for (char** e = environ; *e != nullptr; ++e) {
      if (std::string(*e).rfind("HOME=", 0) != 0) envStrings.emplace_back(*e);
    }
    std::vector<char*> env;
    for (std::string& s : envStrings) env.push_back(s.data());
    env.push_back(nullptr);
    std::string arg0 = exe, arg1 = model;
    char* argv[] = {arg0.data(), arg1.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    if (!errPath.empty()) {
      posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0644);
    }
    const int spawned = posix_spawn(&m_pid, exe.c_str(), &actions, nullptr, argv, env.data());
    posix_spawn_file_actions_destroy(&actions);
    ASSERT_EQ(spawned, 0);
  }

  // File > Exit from the keyboard, pointer over the window; the exit code.
  int ExitThroughTheMenu(const std::string& window) {
    Shell("xdotool mousemove --window " + window + " 300 300");
    Shell("xdotool key alt+f");
    usleep(300 * 1000);
    Shell("xdotool key x");
    const int code = WaitForExit(m_pid, 10000);
    m_pid = -1;
    return code;
  }

  // The palettes the demo's textures are drawn for, in place of the test's
  // own.
  void UseDemoPalettes() {
    const fs::path palettes = fs::path(ZORVIK_SOURCE_DIR) / "samples" / "palettes";
    for (const char* name : {"sanfran.pal", "seattle.pal"}) {
      fs::copy_file(palettes / name, m_dir.path() / name, fs::copy_options::overwrite_existing);
    }
  }

  ScopedTempDir m_dir;
  pid_t m_pid = -1;
};

// Pixels whose colour is clearly not a grey: the demo's textures are
// yellow, blue, red and brown, its colour materials greys, so a model drawn
// without its textures has next to none.
int ColouredPixels(const std::vector<unsigned char>& rgb) {
  int coloured = 0;
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
    const int high = std::max({rgb[i], rgb[i + 1], rgb[i + 2]});
    const int low = std::min({rgb[i], rgb[i + 1], rgb[i + 2]});
    // The background is pure blue; it does not count.
    const bool background = rgb[i] == 0 && rgb[i + 1] == 0 && rgb[i + 2] == 255;
    coloured += !background && high - low > 60;
  }
  return coloured;
}

void CommandLineTest::ExpectDrawnAtStart(const std::string& model, const char* title,
                                         int minShare) {
  Start(model);
  const std::string window = WaitForWindow(title, 20000);
  ASSERT_FALSE(window.empty());
  usleep(500 * 1000);
  EXPECT_EQ(WaitForMessageBox(0), "") << model << " opens without a message";
  int width = 0, height = 0;
  const std::string shot = m_dir.File("shot.ppm");
  const auto rgb = CaptureWindow(std::stoul(window), shot, width, height);
  ASSERT_FALSE(rgb.empty());
  if (const char* keep = std::getenv("ZORVIK_KEEP_SCREENSHOT")) {
    fs::copy_file(shot, keep, fs::copy_options::overwrite_existing);
  }
  EXPECT_GT(ColouredPixels(rgb), width * height / minShare) << "no texture in the picture";
  EXPECT_EQ(ExitThroughTheMenu(window), 0);
}

// The way a file manager opens a model: the demo named on the command line
// is drawn with its textures, with no message, however the desktop maps the
// window.
TEST_F(CommandLineTest, TheDemoNamedAtStartIsDrawnWithItsTextures) {
  UseDemoPalettes();
  ExpectDrawnAtStart(std::string(ZORVIK_SOURCE_DIR) + "/samples/demo/biplane.bin", "^Zorvik - ",
                     100);
}

// A foreign model named at start is imported in memory and drawn with its
// texture, titled with its path, with no message: the COLLADA duck of
// Debian's test models, yellow all over.
TEST_F(CommandLineTest, AForeignModelNamedAtStartIsImportedAndDrawn) {
  fs::copy_file(fs::path(ZORVIK_BINARY_DIR) / "zorvik-import-worker",
                m_dir.path() / "zorvik-import-worker");
  UseDemoPalettes();
  ExpectDrawnAtStart("/usr/share/assimp/models/Collada/duck.dae", "^Zorvik - .*duck.dae$", 20);
}

// Messages at start-up stand over the main window, not where the desktop
// puts a window of its own: the configuration that cannot be read, then the
// missing texture of the fault sample.
TEST_F(CommandLineTest, StartUpMessagesStandOverTheMainWindow) {
  fs::remove(m_dir.File("zorvik.cfg"));
  Start(std::string(ZORVIK_SOURCE_DIR) + "/samples/faults/missing_texture.bin");
  for (const char* message : {"configuration", "missing texture"}) {
    SCOPED_TRACE(message);
    const std::string box = WaitForMessageBox(20000);
    ASSERT_FALSE(box.empty());
    usleep(300 * 1000);
    const Geometry boxAt = GeometryOf(box);
    // The other visible window of the program is the main one.
    Geometry mainAt;
    std::istringstream ids(Shell("xdotool search --onlyvisible --name '^Zorvik' 2>/dev/null"));
    for (std::string id; ids >> id;) {
      if (id != box) mainAt = GeometryOf(id);
    }
    ASSERT_GT(mainAt.width, boxAt.width);
    // A window manager counts its title bar in; a box placed by no rule at
    // all lands in a corner, hundreds of pixels away.
    EXPECT_NEAR(boxAt.CentreX(), mainAt.CentreX(), 32);
    EXPECT_NEAR(boxAt.CentreY(), mainAt.CentreY(), 32);
    Shell("xdotool mousemove --window " + box + " 10 10 key Return");
    usleep(300 * 1000);
  }
  const std::string window = WaitForWindow("^Zorvik - ", 20000);
  ASSERT_FALSE(window.empty());
  EXPECT_EQ(ExitThroughTheMenu(window), 0);
}

TEST_F(CommandLineTest, OpensTheNamedModelShowsItAndSavesOnExit) {
  const std::string model = m_dir.File("models") + "/square.bin";
  WriteBytes(model, lgmd::Build(RedSquareModel()));
  Start(model);

  const std::string window = WaitForWindow("^Zorvik - ", 20000);
  ASSERT_FALSE(window.empty()) << "no window titled with the model; titles: "
                               << Shell("xdotool search --name Zorvik getwindowname %@");
  EXPECT_EQ(Shell("xdotool getwindowname " + window), "Zorvik - " + model);

  // The model is drawn over the blue background in the middle of the
  // window.
  usleep(500 * 1000);
  int width = 0, height = 0;
  const auto rgb = CaptureWindow(std::stoul(window), m_dir.File("shot.ppm"), width, height);
  ASSERT_FALSE(rgb.empty());
  // Kept for a person to look at when asked for.
  if (const char* keep = std::getenv("ZORVIK_KEEP_SCREENSHOT")) {
    fs::copy_file(m_dir.File("shot.ppm"), keep, fs::copy_options::overwrite_existing);
  }
  const std::size_t centre = (static_cast<std::size_t>(height / 2) * width + width / 2) * 3;
  const int r = rgb[centre], g = rgb[centre + 1], b = rgb[centre + 2];
  EXPECT_GT(r, 150) << "the red square at the centre: " << r << "," << g << "," << b;
  EXPECT_LT(g, 20);
  EXPECT_LT(b, 20);
  int background = 0;
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
    if (rgb[i] == 0 && rgb[i + 1] == 0 && rgb[i + 2] == 255) ++background;
  }
  EXPECT_GT(background, width * height / 10) << "the background colour shows around the model";

  EXPECT_EQ(ExitThroughTheMenu(window), 0);

  const std::string saved = ReadWholeFile(m_dir.File("zorvik.cfg"));
  EXPECT_NE(saved.find("LastOpenDir "), std::string::npos) << saved;
  EXPECT_NE(saved.find("models"), std::string::npos) << saved;
}

// `cd models && zorvik square.bin` opens the model exactly as File Open
// would: the title names the whole path, no message, and the directory
// remembered is the model's.
TEST_F(CommandLineTest, RelativeModelPathIsTakenFromTheWorkingDirectory) {
  const std::string models = fs::canonical(m_dir.File("models")).string();
  WriteBytes(models + "/square.bin", lgmd::Build(RedSquareModel()));
  Start("./square.bin", models);

  const std::string window = WaitForWindow("^Zorvik - ", 20000);
  ASSERT_FALSE(window.empty());
  EXPECT_EQ(Shell("xdotool getwindowname " + window), "Zorvik - " + models + "/square.bin");
  usleep(500 * 1000);
  EXPECT_EQ(Shell("xdotool search --onlyvisible --name '^Zorvik$' 2>/dev/null"), "")
      << "a message box is open";
  EXPECT_EQ(ExitThroughTheMenu(window), 0);
  EXPECT_EQ(ReadWholeFile(m_dir.File("zorvik.cfg")),
            "Region 0\nBkgndClr 0 0 1\nLastOpenDir " + models + "\n");
}

// The window squeezed down to a few pixels and back, as a user might drag
// its corner, leaves no warnings of the toolkit on stderr.
TEST_F(CommandLineTest, ShrinkingTheWindowPrintsNoToolkitWarnings) {
  const std::string model = m_dir.File("models") + "/square.bin";
  WriteBytes(model, lgmd::Build(RedSquareModel()));
  const std::string errors = m_dir.File("stderr.txt");
  Start(model, "", errors);
  const std::string window = WaitForWindow("^Zorvik - ", 20000);
  ASSERT_FALSE(window.empty());
  for (const char* size :
       {"400 300", "100 100", "20 20", "5 5", "1 1", "3 40", "40 3", "600 500"}) {
    Shell("xdotool windowsize " + window + " " + size);
    usleep(400 * 1000);
  }
  EXPECT_EQ(ExitThroughTheMenu(window), 0);
  const std::string printed = ReadWholeFile(errors);
  EXPECT_EQ(printed.find("Gtk-"), std::string::npos) << printed;
}

}  // namespace
}  // namespace window_test
