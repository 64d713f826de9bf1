// Start-up and shut-down of the window: the configuration read before the
// first picture, the context and pixel format, the settings saved on close.
#include <GL/gl.h>

#include <cmath>

#include "support/doc_access.h"
#include "support/view_access.h"
#include "window_fixture.h"

namespace window_test {
namespace {

using platform::MsgIcon;
using platform::RecordedMessage;

// The colour at the centre of the view, 0..255 per component.
std::array<int, 3> CentrePixel(const std::vector<unsigned char>& rgb, int width, int height) {
  const std::size_t at = (static_cast<std::size_t>(height / 2) * width + width / 2) * 3;
  return {rgb[at], rgb[at + 1], rgb[at + 2]};
}

class StartupTest : public WindowFixture {};

TEST_F(StartupTest, ConfiguredColourAndRegionAreInForceAtTheFirstPicture) {
  WritePalettes();
  WriteConfig("Region 1\nBkgndClr 0.2 0.4 0.6\nLastOpenDir -\n");
  StartViewer();

  EXPECT_TRUE(recorder().messages().empty());
  EXPECT_EQ(frame()->GetTitle(), "Zorvik");
  EXPECT_TRUE(frame()->IsShown());
  EXPECT_EQ(doc().PaletteIndex(), 1);

  GLfloat clear[4] = {};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_FLOAT_EQ(clear[0], 0.2f);
  EXPECT_FLOAT_EQ(clear[1], 0.4f);
  EXPECT_FLOAT_EQ(clear[2], 0.6f);

  int width = 0, height = 0;
  const auto rgb = ReadViewPixels(width, height);
  ASSERT_GT(width, 0);
  const auto centre = CentrePixel(rgb, width, height);
  EXPECT_NEAR(centre[0], 51, 1);
  EXPECT_NEAR(centre[1], 102, 1);
  EXPECT_NEAR(centre[2], 153, 1);
}

TEST_F(StartupTest, WithoutConfigurationSaysSoAndStartsWithDefaults) {
  WritePalettes();
  StartViewer();

  EXPECT_EQ(
      recorder().messages(),
      (std::vector<RecordedMessage>{{"Error loading config file\r\n" + dir().File("zorvik.cfg") +
                                         ": No such file or directory",
                                     MsgIcon::Exclamation}}));
  EXPECT_EQ(frame()->GetTitle(), "Zorvik");
  EXPECT_EQ(doc().PaletteIndex(), 0);
  EXPECT_EQ(doc().PolygonMode(), kPolygonModeFill);
  EXPECT_TRUE(view()->ModelPath().empty());
  EXPECT_EQ(view()->KeyStep(), 0.0);

  int width = 0, height = 0;
  const auto rgb = ReadViewPixels(width, height);
  ASSERT_GT(width, 0);
  EXPECT_EQ(CentrePixel(rgb, width, height), (std::array<int, 3>{0, 0, 0}));
}

// A window manager maps the frame some time after it was shown. A model
// asked for before that (the one named on the command line) waits for the
// view's context: uploaded into none, its textures would be drawn white.
TEST_F(StartupTest, AModelAskedForBeforeTheWindowIsMappedGetsItsTextures) {
  WritePalettes();
  WriteConfig(kPlainConfig);
  lgmd::ModelDesc desc = RedSquareModel();
  desc.materials[0] = {"canvas", 0, 0, 1, 0, 0};
  desc.polygons[0].flags = 0;
  desc.texCoords = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
  desc.polygons[0].texIdx = {0, 1, 2, 3};
  const std::string model = WriteModel("board.bin", desc);
  WriteBytes(dir().File("canvas.mip"), lgmd::BuildMip(2, 2, {40, 80, 120, 160}));

  CreateHiddenViewer();
  EXPECT_FALSE(view()->OpenModel(model));
  EXPECT_EQ(doc().Model().PolygonCount(), 0) << "read before the view could take its textures";

  frame()->Show(true);
  ASSERT_TRUE(PumpUntil([this] { return doc().Model().PolygonCount() == 1; }));
  EXPECT_TRUE(view()->HasCurrentContext());
  const unsigned texture = doc().Textures().Name(0);
  EXPECT_NE(texture, 0u);
  EXPECT_TRUE(glIsTexture(texture));
  EXPECT_EQ(frame()->GetTitle(), "Zorvik - " + model);
  EXPECT_TRUE(recorder().messages().empty());
}

TEST_F(StartupTest, ContextIsCurrentWithADepthBufferAndTwoBuffers) {
  WriteConfig(kPlainConfig);
  StartViewer();

  // The virtual display offers no 32-bit depth buffer; the nearest surface
  // is 24 bits, never a multisampled one, which would smooth the edges
  // unlike the headless picture.
  ASSERT_NE(ViewTestAccess::Context(*view()), nullptr);
  ASSERT_NE(glGetString(GL_VERSION), nullptr);
  GLint depthBits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depthBits);
  EXPECT_GE(depthBits, 24);
  GLint sampleBuffers = -1;
  glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
  EXPECT_EQ(sampleBuffers, 0);
  GLboolean doubleBuffered = GL_FALSE;
  glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
  EXPECT_EQ(doubleBuffered, GL_TRUE);

  // The scene state of a resize is in place: culling of front faces, the
  // alpha test and light 0.
  GLint cullFace = 0;
  glGetIntegerv(GL_CULL_FACE_MODE, &cullFace);
  EXPECT_EQ(cullFace, GL_FRONT);
  EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT0));

  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  const wxSize client = view()->GetClientSize();
  EXPECT_EQ(viewport[2], client.x);
  EXPECT_EQ(viewport[3], client.y);
}

TEST_F(StartupTest, ResizingTakesTheDocumentsColour) {
  WriteConfig(kPlainConfig);
  StartViewer();
  doc().SetPaletteIndex(1);
  doc().SetBackground(0.0, 1.0, 0.0);
  const wxSize size = frame()->GetSize();
  frame()->SetSize(size.x - 40, size.y - 30);
  ASSERT_TRUE(PumpUntil([&] {
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    return clear[1] == 1.0f;
  }));
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], view()->GetClientSize().x);
}

TEST_F(StartupTest, ClosingTheWindowSavesTheSettings) {
  WriteConfig(kPlainConfig);
  StartViewer();
  doc().SetPaletteIndex(1);
  doc().SetBackground(1.0, 0.0, 0.0);
  CloseViewer();

  const std::string saved = ReadWholeFile(dir().File("zorvik.cfg"));
  EXPECT_NE(saved.find("Region 1"), std::string::npos) << saved;
  EXPECT_NE(saved.find("BkgndClr 1"), std::string::npos) << saved;
}

TEST_F(StartupTest, FileNewReadsTheConfigurationAgainAndKeepsTheModel) {
  WritePalettes();
  WriteConfig(kPlainConfig);
  StartViewer();
  const std::string model = WriteModel("square.bin", RedSquareModel());
  view()->OpenModel(model);
  ASSERT_EQ(doc().Model().PolygonCount(), 1);

  WriteConfig("Region 1\nBkgndClr 0 0 1\nLastOpenDir -\n");
  wxCommandEvent fileNew(wxEVT_MENU, ID_FILE_NEW);
  frame()->ProcessWindowEvent(fileNew);
  Pump(50);

  EXPECT_EQ(doc().PaletteIndex(), 1);
  EXPECT_EQ(doc().Background()[2], 1.0);
  EXPECT_EQ(doc().Model().PolygonCount(), 1);
  EXPECT_EQ(view()->ModelPath(), model);
  EXPECT_EQ(frame()->GetTitle(), "Zorvik - " + model);
}

}  // namespace
}  // namespace window_test
