// In-process window tests: the program's own main frame, view and
// document, started as the application starts them, with the recording
// platform standing in for message boxes and dialogs, and the executable's
// directory (palettes, "zorvik.cfg") in a temporary directory of the test.
//
// A window test program has its own main:
//
//   int main(int argc, char** argv) { return RunWindowTestProgram(argc, argv); }
//
// and its tests derive from WindowFixture (or use it directly through
// TEST_F), write what they need into dir() before StartViewer(), and read
// the window through frame(), view() and doc().
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/evtloop.h>
#include <wx/init.h>

#include "app/main_frame.h"
#include "app/toolkit_settings.h"
#include "app/zorvik_app.h"
#include "doc/app_paths.h"
#include "doc/zorvik_doc.h"
#include "lgmd_builder/lgmd_builder.h"
#include "support/recording_platform.h"
#include "support/temp_dir.h"
#include "support/view_access.h"
#include "view/command_ids.h"
#include "view/zorvik_view.h"

namespace window_test {

// The application object of a test program: the real one, with its
// command handlers (About, File New), but no window at start-up; each test
// makes its own.
class TestApp : public CZorvikApp {
 public:
  bool OnInit() override { return true; }
  int OnExit() override { return wxApp::OnExit(); }
  // What start-up does for a model named on the command line.
  void OpenStartupFile(const std::string& path) {
    m_strStartupFile = path;
    CZorvikApp::OpenStartupFile();
  }
};

// The directory the program keeps the toolkit's settings under in this
// test run (RunWindowTestProgram makes it).
inline std::string& TestConfigHome() {
  static std::string home;
  return home;
}

// Runs the toolkit's pending work (events, idle handlers, repaints) for
// about ms milliseconds.
inline void Pump(int ms = 50) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  do {
    wxTheApp->Yield(true);
    wxTheApp->ProcessIdle();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  } while (std::chrono::steady_clock::now() < end);
}

// Pumps until done() holds or timeoutMs passes; returns done().
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    Pump(10);
  }
  return true;
}

// A palette file of 256 grey-free entries: entry n is (n, 255 - n, n / 2).
inline void WritePalette(const std::string& path) {
  std::ofstream out(path);
  out << "JASC-PAL 0100 256\n";
  for (int n = 0; n < 256; ++n) out << n << ' ' << (255 - n) << ' ' << (n / 2) << '\n';
}

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// One colour-material square facing the camera (corners clockwise on
// screen, as the models wind their visible faces). The file keeps the
// colour in the order the San Francisco palette swaps, so the blue byte is
// what shows as red there.
// Polygon flag: the polygon takes a colour material rather than a texture.
inline constexpr std::uint8_t kColourMaterialFlag = 0x40;

inline lgmd::ModelDesc RedSquareModel(float half = 1.0f) {
  lgmd::ModelDesc desc;
  desc.name = "square";
  lgmd::BuilderMaterial red;
  red.name = "red";
  red.kind = 1;
  red.id = 0;
  red.blue = 255;
  red.green = 0;
  red.red = 0;
  desc.materials = {red};
  desc.vertices = {{-half, -half, 0}, {-half, half, 0}, {half, half, 0}, {half, -half, 0}};
  desc.normals = {{0, 0, 1}};
  lgmd::BuilderPolygon square;
  square.materialId = 0;
  square.flags = kColourMaterialFlag;
  square.vertIdx = {0, 1, 2, 3};
  desc.polygons = {square};
  return desc;
}

#ifndef _WIN32
// What the display shows of the X window xid, through ImageMagick's import
// (as a user's screenshot would): RGB rows from the top.
inline std::vector<unsigned char> CaptureWindow(unsigned long xid, const std::string& ppmPath,
                                                int& width, int& height) {
  width = height = 0;
  const std::string command =
      "import -window " + std::to_string(xid) + " -depth 8 ppm:'" + ppmPath + "' 2>/dev/null";
  if (std::system(command.c_str()) != 0) return {};
  std::ifstream in(ppmPath, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  in >> magic >> width >> height >> maxValue;
  in.get();
  if (!in || magic != "P6" || maxValue != 255 || width <= 0 || height <= 0) return {};
  std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
  in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
  if (!in) return {};
  return rgb;
}
#endif

class WindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    AppPaths().Reset();
    m_platform.SetExecutablePath(m_dir.File("zorvik"));
    // Each test starts without the toolkit's settings (recent files, bars,
    // window placement) an earlier test left, in the file or in memory.
    std::error_code ec;
    if (!TestConfigHome().empty()) std::filesystem::remove_all(TestConfigHome(), ec);
    ToolkitSettings().DeleteAll();
  }

  void TearDown() override {
    CloseViewer();
    AppPaths().Reset();
  }

  // The executable's directory of this test, with the two palettes
  // written unless a test removes them.
  const ScopedTempDir& dir() const { return m_dir; }
  platform::RecordingPlatform& recorder() { return m_platform; }
  CZorvikDoc& doc() { return *m_pDoc; }
  CMainFrame* frame() { return m_pFrame; }
  CZorvikView* view() { return m_pFrame->GetView(); }

  void WritePalettes() {
    WritePalette(m_dir.File("sanfran.pal"));
    WritePalette(m_dir.File("seattle.pal"));
  }

  // The settings most tests start from: San Francisco palette, black
  // background, no folder remembered.
  static constexpr const char* kPlainConfig = "Region 0\nBkgndClr 0 0 0\nLastOpenDir -\n";

  void WriteConfig(const std::string& text) {
    std::ofstream out(m_dir.File("zorvik.cfg"), std::ios::binary);
    out << text;
  }

  // Writes the model under name into dir() and returns its path.
  std::string WriteModel(const std::string& name, const lgmd::ModelDesc& desc) {
    const std::string path = m_dir.File(name);
    WriteBytes(path, lgmd::Build(desc));
    return path;
  }

  // The application's start-up, up to the window shown with its context
  // current and the first picture painted.
  void StartViewer() {
    m_pDoc = std::make_unique<CZorvikDoc>();
    m_pFrame = CreateMainWindow(*m_pDoc);
    ASSERT_NE(m_pFrame, nullptr);
    ASSERT_TRUE(PumpUntil([this] { return view()->IsShownOnScreen(); }));
    Pump(100);
  }

  // The main window made but not yet shown: the moment before a window
  // manager maps it.
  void CreateHiddenViewer() {
    m_pDoc = std::make_unique<CZorvikDoc>();
    m_pFrame = new CMainFrame(m_pDoc.get());
    ASSERT_TRUE(m_pFrame->OnCreate());
    ShowSettingsMessages(m_pDoc->OnNewDocument());
  }

  // The close request the user makes: the settings are saved, the window
  // goes.
  void CloseViewer() {
    if (m_pFrame != nullptr) {
      m_pFrame->Close(true);
      m_pFrame = nullptr;
      Pump(20);
    }
    m_pDoc.reset();
  }

  // Paints the view now and reads back what the display shows of it:
  // RGB rows from the top, width x height. Empty when it cannot be read.
  std::vector<unsigned char> ReadViewPixels(int& width, int& height) {
    view()->Refresh(false);
    view()->Update();
    Pump(50);
#ifdef _WIN32
    // Wine, which runs these tests, never shows a child window's OpenGL on
    // the screen, nor keeps it in the front buffer for sure: the picture
    // the paint draws is drawn again and read where it is drawn.
    return ReadDrawnPicture(width, height);
#else
    return CaptureWindow(view()->GetXWindow(), m_dir.File("capture.ppm"), width, height);
#endif
  }

 private:
#ifdef _WIN32
  std::vector<unsigned char> ReadDrawnPicture(int& width, int& height) {
    width = height = 0;
    wxGLContext* context = ViewTestAccess::Context(*view());
    if (context == nullptr || !view()->SetCurrent(*context)) return {};
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int w = viewport[2], h = viewport[3];
    if (w <= 0 || h <= 0) return {};
    std::vector<unsigned char> rgb(static_cast<std::size_t>(w) * h * 3);
    doc().DrawScene();
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    if (glGetError() != GL_NO_ERROR) return {};
    // OpenGL's rows start at the bottom.
    const std::size_t row = static_cast<std::size_t>(w) * 3;
    for (int top = 0, bottom = h - 1; top < bottom; ++top, --bottom) {
      std::swap_ranges(rgb.begin() + static_cast<std::ptrdiff_t>(row * top),
                       rgb.begin() + static_cast<std::ptrdiff_t>(row * (top + 1)),
                       rgb.begin() + static_cast<std::ptrdiff_t>(row * bottom));
    }
    width = w;
    height = h;
    return rgb;
  }
#endif

  ScopedTempDir m_dir;
  platform::ScopedRecordingPlatform m_platform;
  std::unique_ptr<CZorvikDoc> m_pDoc;
  CMainFrame* m_pFrame = nullptr;
};

// The viewer started with both palettes and the plain settings, as most
// window tests want it.
class PlainViewerFixture : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    WritePalettes();
    WriteConfig(kPlainConfig);
    StartViewer();
  }
};

}  // namespace window_test

// Starts the toolkit with an event loop that stays active for every test,
// runs the tests and shuts the toolkit down. The user's own settings
// (recent files, window placement) are never touched: the program gets a
// home and a configuration directory of its own for the run.
inline int RunWindowTestProgram(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests needs no display.
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  const ScopedTempDir home;
  window_test::TestConfigHome() = home.File("config");
#ifdef _WIN32
  _putenv_s("APPDATA", home.File("config").c_str());
#else
  setenv("HOME", home.path().c_str(), 1);
  setenv("XDG_CONFIG_HOME", home.File("config").c_str(), 1);
#endif
  wxApp::SetInstance(new window_test::TestApp);
  if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
    std::fprintf(stderr, "window tests: the toolkit could not start (no display?)\n");
    return 1;
  }
  int result = 0;
  {
    wxEventLoop loop;
    wxEventLoopActivator activate(&loop);
    result = RUN_ALL_TESTS();
  }
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}
