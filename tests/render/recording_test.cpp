// The recorded draw against the immediate one: the same model, look and
// camera must give the same picture, pixel for pixel, on the frame that
// records, on the frames that replay, and after whatever makes the
// recording stale (another model, the other look, the other palette).
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "doc/app_paths.h"
#include "doc/zorvik_doc.h"
#include "lgmd_builder/lgmd_builder.h"
#include "render/headless_gl.h"
#include "render/scene.h"
#include "support/doc_access.h"
#include "support/recording_platform.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

class RecordingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!m_context.Create(kWidth, kHeight))
      GTEST_SKIP() << "no headless OpenGL: " << m_context.error();
    const std::string tool = ZORVIK_BINARY_DIR "/make_samples";
    const std::string dir = m_dir.path().string();
    ASSERT_EQ(RunProgram({tool, dir}).exitCode, 0);
    ASSERT_EQ(RunProgram({tool, "--large", dir}).exitCode, 0);
    // The largest model's textured materials are mat000, mat002, ...
    std::vector<std::uint8_t> texels(16 * 16);
    for (std::size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<std::uint8_t>(i * 5);
    for (int m = 0; m < 255; m += 6) {
      const std::string name = "mat" +
                               std::string(m < 10    ? "00"
                                           : m < 100 ? "0"
                                                     : "") +
                               std::to_string(m) + ".mip";
      ASSERT_TRUE(lgmd::WriteFile(m_dir.File(name), lgmd::BuildMip(16, 16, texels)));
    }
    AppPaths().SetBaseDir(dir + "/palettes/");
    m_doc.SetupScene(kWidth, kHeight);
  }
  void TearDown() override { AppPaths().Reset(); }

  std::string Demo() const { return m_dir.File("demo/biplane.bin"); }
  std::string Largest() const { return m_dir.File("large.bin"); }

  void Open(const std::string& path, int palette) {
    ASSERT_TRUE(m_doc.LoadModel(path, palette).Ok());
    MoveCamera(m_doc, [&](scene::Camera& camera) { camera.dRotX = 30.0; });
    MoveCamera(m_doc, [&](scene::Camera& camera) { camera.dRotY = 40.0; });
  }

  std::vector<std::uint8_t> Recorded() {
    m_doc.DrawScene();
    glFinish();
    return m_context.ReadRgb();
  }

  std::vector<std::uint8_t> Immediate() {
    scene::DrawScene(m_doc.Camera(), m_doc.Model(), m_doc.Textures(), m_doc.PolygonMode());
    glFinish();
    return m_context.ReadRgb();
  }

  // The immediate frame, checked to show a model rather than only the
  // background, so that equal pictures mean something.
  std::vector<std::uint8_t> ImmediateWithModel() {
    std::vector<std::uint8_t> pixels = Immediate();
    ExpectShowsModel(pixels);
    return pixels;
  }

  static void ExpectShowsModel(const std::vector<std::uint8_t>& pixels) {
    std::size_t lit = 0;
    for (std::uint8_t byte : pixels) lit += byte != 0;
    EXPECT_GT(lit, pixels.size() / 50) << "the model hardly shows";
  }

  // Compares without printing two pictures' worth of bytes.
  static void ExpectSame(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    ASSERT_EQ(a.size(), b.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i];
    EXPECT_EQ(differing, 0u);
  }

  platform::ScopedRecordingPlatform m_ui;
  ScopedTempDir m_dir;
  HeadlessGlContext m_context;
  CZorvikDoc m_doc;
};

TEST_F(RecordingTest, ReplayedFramesMatchTheImmediateFramePixelForPixel) {
  struct Case {
    const char* name;
    bool largest;
    int look;
    int palette;
    double rotY;
  };
  const Case cases[] = {
      {"demo textured", false, kPolygonModeFill, 0, 40.0},
      {"demo textured from behind", false, kPolygonModeFill, 0, 200.0},
      {"demo wireframe", false, kPolygonModeLine, 0, 40.0},
      {"demo Seattle palette", false, kPolygonModeFill, 1, 40.0},
      {"largest textured", true, kPolygonModeFill, 0, 40.0},
      {"largest wireframe", true, kPolygonModeLine, 0, 40.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Each case in a context of its own, with the immediate frame first:
    // Mesa splits immediate line-mode polygons where its vertex buffer
    // happens to fill, so an immediate wireframe frame can depend on what
    // was drawn before it in the context. The first one does not.
    HeadlessGlContext context;
    ASSERT_TRUE(context.Create(kWidth, kHeight)) << context.error();
    CZorvikDoc doc;
    doc.SetupScene(kWidth, kHeight);
    ASSERT_TRUE(doc.LoadModel(c.largest ? Largest() : Demo(), c.palette).Ok());
    doc.SetPolygonMode(c.look);
    MoveCamera(doc, [&](scene::Camera& camera) { camera.dRotX = 30.0; });
    MoveCamera(doc, [&](scene::Camera& camera) { camera.dRotY = c.rotY; });
    const auto frame = [&](bool recorded) {
      if (recorded) {
        doc.DrawScene();
      } else {
        scene::DrawScene(doc.Camera(), doc.Model(), doc.Textures(), doc.PolygonMode());
      }
      glFinish();
      return context.ReadRgb();
    };
    const std::vector<std::uint8_t> immediate = frame(false);
    ExpectShowsModel(immediate);
    const std::vector<std::uint8_t> recording = frame(true);
    const std::vector<std::uint8_t> replay = frame(true);
    ExpectSame(recording, immediate);
    ExpectSame(replay, immediate);
  }
}

// Mesa's software renderer keeps the work it queued for a frame (some 30 KB
// for each texture bind) until it reuses that memory, and a frame of the
// largest model binds a texture for every polygon. Handed over in bounded
// batches, a frame leaves a few batches behind (about 13 MiB here with the
// recording itself) instead of its last whole scenes (about 58 MiB).
TEST_F(RecordingTest, FramesOfTheLargestModelLeaveLittleQueuedWorkBehind) {
#ifdef ZORVIK_SANITIZED
  GTEST_SKIP() << "the sanitizer's allocator keeps its own account of memory";
#endif
  Open(Largest(), 0);
  const auto inUse = [] {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
  };
  const std::size_t before = inUse();
  for (int frame = 0; frame < 4; ++frame) Recorded();
  const std::size_t after = inUse();
  EXPECT_LT(after, before + (std::size_t{32} << 20));
}

// Each change that makes the recording stale shows in the next frame.
TEST_F(RecordingTest, AStaleRecordingIsNeverReplayed) {
  Open(Demo(), 0);
  m_doc.SetPolygonMode(kPolygonModeFill);
  Recorded();

  m_doc.SetPolygonMode(kPolygonModeLine);
  ExpectSame(Recorded(), ImmediateWithModel());

  Open(Demo(), 1);
  const std::vector<std::uint8_t> seattle = Recorded();
  ExpectSame(seattle, ImmediateWithModel());

  m_doc.SetPolygonMode(kPolygonModeFill);
  Open(Largest(), 0);
  ExpectSame(Recorded(), ImmediateWithModel());

  // Textures uploaded again under the same model (new texture names).
  DocTestAccess::Textures(m_doc).UploadTextures(DocTestAccess::Model(m_doc));
  ExpectSame(Recorded(), ImmediateWithModel());
}

}  // namespace
