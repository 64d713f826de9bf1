// File Open through the window: the dialog's request, what an open
// changes, and what a cancelled or failed one leaves alone.
#include <filesystem>

#include "platform/posix_paths.h"
#include "support/doc_access.h"
#include "window_fixture.h"

namespace window_test {
namespace {

using platform::MsgIcon;
using platform::RecordedMessage;

class FileOpenTest : public PlainViewerFixture {
 protected:
  void SetUp() override {
    PlainViewerFixture::SetUp();
    recorder().ClearLog();
  }

  // File Open as the menu, key or button sends it: to the frame, which
  // hands it to the view.
  void FileOpen() {
    wxCommandEvent open(wxEVT_MENU, ID_FILE_OPEN);
    frame()->ProcessWindowEvent(open);
    Pump(20);
  }

  std::string ModelDir() {
    std::filesystem::create_directories(dir().path() / "models");
    return (dir().path() / "models").string();
  }

  // What the window shows of the model that is open: all a cancelled or
  // failed open must leave as it was.
  struct Shown {
    std::string path;
    double step = 0.0;
    wxString title;
    std::string lastDir;
  };

  // Opens a red square and returns what the window shows of it; the log
  // starts empty after it.
  Shown OpenSquare() {
    view()->OpenModel(WriteModel("square.bin", RedSquareModel()));
    recorder().ClearLog();
    return {view()->ModelPath(), view()->KeyStep(), frame()->GetTitle(),
            AppPaths().GetLastOpenDir()};
  }

  void ExpectStillShown(const Shown& shown) {
    EXPECT_EQ(view()->ModelPath(), shown.path);
    EXPECT_EQ(view()->KeyStep(), shown.step);
    EXPECT_EQ(frame()->GetTitle(), shown.title);
    EXPECT_EQ(AppPaths().GetLastOpenDir(), shown.lastDir);
  }
};

TEST_F(FileOpenTest, OpensTheChosenModelAndRemembersItsDirectory) {
  // Bounding box (-1, -2, -3) .. (1, 2, 3): fit distance 1.5 * 6, step 0.18.
  lgmd::ModelDesc desc = RedSquareModel();
  desc.vertices = {{-1, -2, -3}, {-1, 2, 3}, {1, 2, 3}, {1, -2, -3}};
  const std::string path = ModelDir() + "/box.bin";
  WriteBytes(path, lgmd::Build(desc));
  recorder().QueueOpenAnswer(path);
  FileOpen();

  ASSERT_EQ(recorder().openRequests().size(), 1u);
  const platform::OpenFileRequest& request = recorder().openRequests()[0];
  EXPECT_EQ(request.strDefaultExt, "bin");
  EXPECT_EQ(request.strFilter, "LGMD 3D Models (*.bin)|*.bin");
  EXPECT_TRUE(request.bMustExist);
  EXPECT_EQ(request.strInitialDir, "");

  EXPECT_TRUE(recorder().messages().empty());
  EXPECT_EQ(view()->ModelPath(), path);
  EXPECT_NEAR(view()->KeyStep(), 0.18, 1e-12);
  EXPECT_EQ(frame()->GetTitle(), "Zorvik - " + path);
  EXPECT_EQ(doc().Model().PolygonCount(), 1);
  std::string canonical;
  ASSERT_TRUE(platform::CanonicalDirectory(ModelDir(), canonical));
  EXPECT_EQ(AppPaths().GetLastOpenDir(), canonical);

  // The next dialog starts where this one ended.
  FileOpen();
  ASSERT_EQ(recorder().openRequests().size(), 2u);
  EXPECT_EQ(recorder().openRequests()[1].strInitialDir, canonical);
}

// '\' is an ordinary character in a file name here: the directory is the
// one the file is in, with no message.
TEST_F(FileOpenTest, ABackslashInTheNameIsPartOfTheName) {
  const std::string path = ModelDir() + "/a\\b.bin";
  WriteBytes(path, lgmd::Build(RedSquareModel()));
  recorder().QueueOpenAnswer(path);
  FileOpen();
  EXPECT_TRUE(recorder().messages().empty());
  EXPECT_EQ(frame()->GetTitle(), "Zorvik - " + path);
  std::string canonical;
  ASSERT_TRUE(platform::CanonicalDirectory(ModelDir(), canonical));
  EXPECT_EQ(AppPaths().GetLastOpenDir(), canonical);
}

TEST_F(FileOpenTest, CancellingChangesNothing) {
  const Shown before = OpenSquare();
  MoveCamera(doc(), [&](scene::Camera& camera) { camera.dRotX = 33.0; });

  recorder().QueueOpenAnswer(std::nullopt);
  FileOpen();

  EXPECT_EQ(recorder().openRequests().size(), 1u);
  EXPECT_TRUE(recorder().events().empty());
  ExpectStillShown(before);
  EXPECT_EQ(doc().Camera().dRotX, 33.0);
}

// A file that is not a model leaves the model that was open, with its
// title, key step and remembered directory, and says why.
TEST_F(FileOpenTest, UnreadableFileKeepsTheOpenModel) {
  const Shown before = OpenSquare();

  const std::string bad = ModelDir() + "/bad.bin";
  WriteBytes(bad, {'N', 'O', 'P', 'E'});
  recorder().QueueOpenAnswer(bad);
  FileOpen();

  // The message names the file and says why under its heading.
  EXPECT_EQ(
      recorder().messages(),
      (std::vector<RecordedMessage>{{"Error Loading Model\r\n" + bad +
                                         ": not an LGMD model (it does not start with \"LGMD\")",
                                     MsgIcon::None}}));
  ExpectStillShown(before);
  EXPECT_EQ(doc().Model().PolygonCount(), 1);
}

// As a file named on the command line meets it: the first open fails, the
// viewer stays empty and untitled, and the palette buttons stay disabled.
TEST_F(FileOpenTest, UnreadableFirstFileLeavesAnEmptyViewer) {
  const std::string bad = ModelDir() + "/bad.bin";
  WriteBytes(bad, {'L', 'G', 'M', 'D', 0, 0});
  view()->OpenModel(bad);

  EXPECT_EQ(recorder().messages(),
            (std::vector<RecordedMessage>{
                {"Error Loading Model\r\n" + bad + ": file ends at offset 6 inside the header",
                 MsgIcon::None}}));
  EXPECT_EQ(frame()->GetTitle(), "Zorvik");
  EXPECT_TRUE(view()->ModelPath().empty());
  EXPECT_EQ(view()->KeyStep(), 0.0);
  EXPECT_EQ(AppPaths().GetLastOpenDir(), "");
  EXPECT_EQ(doc().Model().PolygonCount(), 0);
  wxUpdateUIEvent palette(ID_VIEW_SANFRAN_PALETTE);
  frame()->ProcessWindowEvent(palette);
  EXPECT_FALSE(palette.GetEnabled());
}

// Without a palette the open still names the file and remembers its
// directory, but no camera fit ran, so the key step stays 0.
TEST_F(FileOpenTest, MissingPaletteOnTheFirstOpenStillTitlesTheWindow) {
  std::filesystem::remove(dir().File("sanfran.pal"));
  const std::string path = WriteModel("square.bin", RedSquareModel());
  recorder().QueueOpenAnswer(path);
  FileOpen();

  EXPECT_EQ(recorder().messages(),
            (std::vector<RecordedMessage>{{"Error Loading Palette\r\n" + dir().File("sanfran.pal") +
                                               ": No such file or directory",
                                           MsgIcon::None}}));
  EXPECT_EQ(view()->KeyStep(), 0.0);
  EXPECT_EQ(doc().Camera().dDistance, 30.0);
  EXPECT_EQ(frame()->GetTitle(), "Zorvik - " + path);
  EXPECT_EQ(view()->ModelPath(), path);
}

// What the display shows after an open: the square fills the middle of
// the view in its lit material colour, the corners keep the background.
TEST_F(FileOpenTest, ViewShowsTheOpenedModel) {
  recorder().QueueOpenAnswer(WriteModel("square.bin", RedSquareModel()));
  FileOpen();

  int width = 0, height = 0;
  const std::vector<unsigned char> rgb = ReadViewPixels(width, height);
  ASSERT_FALSE(rgb.empty());
  const auto pixel = [&](int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
    return std::array<int, 3>{rgb[at], rgb[at + 1], rgb[at + 2]};
  };
  const auto centre = pixel(width / 2, height / 2);
  EXPECT_GT(centre[0], 150) << centre[0] << "," << centre[1] << "," << centre[2];
  EXPECT_LT(centre[1], 20);
  EXPECT_LT(centre[2], 20);
  EXPECT_EQ(pixel(2, 2), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(pixel(width - 3, height - 3), (std::array<int, 3>{0, 0, 0}));
}

}  // namespace
}  // namespace window_test
