// Nothing ends the program silently: a failure that escapes a command (out
// of memory while a huge file is read, say) is shown in the program's words,
// the window goes on working, and closing still saves the settings.
#include <wx/uiaction.h>

#include <new>
#include <stdexcept>

#include "window_fixture.h"

namespace window_test {
namespace {

using platform::MsgIcon;
using platform::RecordedMessage;

// The open dialog's answer comes back as a failure, as if the command ran
// out of memory or a library threw while it worked.
class ThrowingPlatform : public platform::RecordingPlatform {
 public:
  bool AskOpenFile(const platform::OpenFileRequest&, std::string&) override {
    ++m_nAsked;
    if (m_nAsked == 1) throw std::bad_alloc();
    throw std::runtime_error("the library gave up");
  }
  void BeginWaitCursor() override { throw std::runtime_error("no cursor today"); }
  bool AskColour(unsigned char rgb[3]) override {
    rgb[0] = 255;
    rgb[1] = rgb[2] = 0;
    return true;
  }
  int m_nAsked = 0;
};

class FailureTest : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    WritePalettes();
    WriteConfig("Region 1\nBkgndClr 0 0 0\nLastOpenDir -\n");
    StartViewer();
    m_platform.SetExecutablePath(dir().File("zorvik"));
    platform::SetCurrent(&m_platform);
  }
  void TearDown() override {
    platform::SetCurrent(&recorder());
    WindowFixture::TearDown();
  }

  // A real Ctrl+key over the view.
  void PressCtrl(char key) {
    wxUIActionSimulator sim;
    sim.MouseMove(view()->ClientToScreen(wxPoint(60, 60)));
    Pump(30);
    view()->SetFocus();
    sim.Char(key, wxMOD_CONTROL);
    Pump(100);
  }

  ThrowingPlatform m_platform;
};

TEST_F(FailureTest, AFailingCommandIsShownAndTheProgramGoesOn) {
  PressCtrl('O');
  PressCtrl('O');
  ASSERT_EQ(m_platform.m_nAsked, 2);
  const std::string after = "\r\nZorvik stopped that action and goes on.";
  EXPECT_EQ(m_platform.messages(),
            (std::vector<RecordedMessage>{
                {"Error during \"Open\": out of memory" + after, MsgIcon::Stop},
                {"Error during \"Open\": the library gave up" + after, MsgIcon::Stop}}));

  // The window still answers its commands, and closing saves the settings
  // they changed.
  wxCommandEvent colour(wxEVT_MENU, ID_VIEW_BKGND_COLOR);
  frame()->ProcessWindowEvent(colour);
  EXPECT_EQ(doc().Background()[0], 1.0);
  CloseViewer();
  EXPECT_EQ(ReadWholeFile(dir().File("zorvik.cfg")), "Region 1\nBkgndClr 1 0 0\nLastOpenDir -\n");
}

// The model named on the command line is opened after start-up, outside
// every handler; a failure there is caught and shown as well.
TEST_F(FailureTest, AFailingOpenFromTheCommandLineIsShownToo) {
  static_cast<TestApp*>(wxTheApp)->OpenStartupFile(WriteModel("square.bin", RedSquareModel()));
  EXPECT_EQ(
      m_platform.messages(),
      (std::vector<RecordedMessage>{
          {"Error during \"Open\": no cursor today\r\nZorvik stopped that action and goes on.",
           MsgIcon::Stop}}));
  EXPECT_TRUE(frame()->IsShown());
}

}  // namespace
}  // namespace window_test
