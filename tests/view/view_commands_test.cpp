// The display commands as the toolbar and menu send them, the states the
// toolbar and menu show, the double-click, and Model Information.
#include <GL/gl.h>

#include <array>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>

#include <wx/button.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/timer.h>
#include <wx/toolbar.h>

#include "app/window_fixture.h"
#include "input_driver.h"
#include "support/doc_access.h"
#include "support/view_access.h"
#include "view/command_ids.h"
#include "view/model_info_dlg.h"
#include "view_models.h"

#ifdef _WIN32
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#else
// Last: the X11 headers define macros that clash with names above.
#include <X11/Xlib.h>
#endif

namespace {

using window_test::Pump;
using window_test::PumpUntil;

class ViewCommandsTest : public window_test::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    WritePalettes();
  }

  void Start() {
    StartViewer();
    m_driver = std::make_unique<InputDriver>(view());
  }

  void TearDown() override {
    m_driver.reset();
    WindowFixture::TearDown();
  }

  // What a click on a toolbar button or a menu item sends to the frame.
  void Command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(frame()->GetMainToolBar());
    frame()->ProcessWindowEvent(event);
  }

  struct ItemState {
    bool enabled;
    bool checked;
    bool operator==(const ItemState&) const = default;
  };

  // The toolbar button's state after an update pass of the frame.
  ItemState Tool(int id) {
    frame()->UpdateWindowUI(wxUPDATE_UI_NONE);
    wxToolBar* toolbar = frame()->GetMainToolBar();
    EXPECT_NE(toolbar->FindById(id), nullptr) << id;
    return {toolbar->GetToolEnabled(id), toolbar->GetToolState(id)};
  }

  bool MenuEnabled(int id) {
    frame()->UpdateWindowUI(wxUPDATE_UI_NONE);
    return frame()->GetMenuBar()->IsEnabled(id);
  }

  std::string OpenCounted(int polygons = 4, int vertices = 5, int materials = 2) {
    const std::string path =
        WriteModel("counted.bin", view_test::CountedModel(polygons, vertices, materials));
    view()->OpenModel(path);
    return path;
  }

  int Paints() const { return m_driver->observer().Count(wxEVT_PAINT); }

  std::unique_ptr<InputDriver> m_driver;
};

TEST_F(ViewCommandsTest, ToolbarAndMenuStatesBeforeAndAfterTheFirstOpen) {
  Start();
  const ItemState off{false, false};
  const ItemState on{true, false};
  const ItemState onChecked{true, true};
  EXPECT_EQ(Tool(ID_VIEW_SANFRAN_PALETTE), (ItemState{false, true}));
  EXPECT_EQ(Tool(ID_VIEW_SEATTLE_PALETTE), off);
  EXPECT_EQ(Tool(ID_VIEW_WIREFRAME), on);
  EXPECT_EQ(Tool(ID_VIEW_TEXTURED), onChecked);
  EXPECT_TRUE(Tool(ID_VIEW_BKGND_COLOR).enabled);
  EXPECT_FALSE(MenuEnabled(ID_VIEW_MODEL_INFO));

  OpenCounted();
  EXPECT_EQ(Tool(ID_VIEW_SANFRAN_PALETTE), onChecked);
  EXPECT_EQ(Tool(ID_VIEW_SEATTLE_PALETTE), on);
  EXPECT_TRUE(MenuEnabled(ID_VIEW_MODEL_INFO));

  Command(ID_VIEW_SEATTLE_PALETTE);
  Command(ID_VIEW_WIREFRAME);
  EXPECT_EQ(Tool(ID_VIEW_SANFRAN_PALETTE), on);
  EXPECT_EQ(Tool(ID_VIEW_SEATTLE_PALETTE), onChecked);
  EXPECT_EQ(Tool(ID_VIEW_WIREFRAME), onChecked);
  EXPECT_EQ(Tool(ID_VIEW_TEXTURED), on);
}

TEST_F(ViewCommandsTest, ConfiguredRegionShowsOnThePaletteButtons) {
  WriteConfig("Region 1\nBkgndClr 0 0 0\nLastOpenDir -\n");
  Start();
  EXPECT_EQ(Tool(ID_VIEW_SANFRAN_PALETTE), (ItemState{false, false}));
  EXPECT_EQ(Tool(ID_VIEW_SEATTLE_PALETTE), (ItemState{false, true}));
}

TEST_F(ViewCommandsTest, ModeCommandsSetTheLookEverywhereAndSurviveLoads) {
  Start();
  for (int mode : {kPolygonModeLine, kPolygonModeFill, kPolygonModeLine}) {
    SCOPED_TRACE(mode);
    Command(mode == kPolygonModeLine ? ID_VIEW_WIREFRAME : ID_VIEW_TEXTURED);
    EXPECT_EQ(doc().PolygonMode(), mode);
    GLint glMode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, glMode);
    EXPECT_EQ(glMode[0], mode);
  }
  OpenCounted();
  Command(ID_VIEW_SEATTLE_PALETTE);
  EXPECT_EQ(doc().PolygonMode(), kPolygonModeLine);
}

TEST_F(ViewCommandsTest, DoubleClickTogglesTheLookAndStartsNoDrag) {
  Start();
  const wxSize size = view()->GetClientSize();
  const wxPoint center(size.x / 2, size.y / 2);
  ASSERT_TRUE(m_driver->Hover(center));

  ASSERT_TRUE(m_driver->Run({"click", "--repeat", "2", "1"}, wxEVT_LEFT_DCLICK));
  ASSERT_TRUE(PumpUntil([&] { return m_driver->observer().Count(wxEVT_LEFT_UP) >= 2; }));
  EXPECT_EQ(doc().PolygonMode(), kPolygonModeLine);
  EXPECT_EQ(Tool(ID_VIEW_WIREFRAME), (ItemState{true, true}));
  EXPECT_EQ(Tool(ID_VIEW_TEXTURED), (ItemState{true, false}));

  // Again somewhere else, so that the clicks before count for nothing;
  // the second press stays down and moves: had it started a drag, the
  // model would turn.
  const wxPoint elsewhere = center + wxPoint(60, 40);
  ASSERT_TRUE(m_driver->Move(elsewhere));
  ASSERT_TRUE(m_driver->Run({"click", "1"}, wxEVT_LEFT_UP));
  ASSERT_TRUE(m_driver->Press(1, wxEVT_LEFT_DCLICK));
  ASSERT_TRUE(m_driver->Move(elsewhere + wxPoint(20, 16)));
  ASSERT_TRUE(m_driver->Release(1));
  EXPECT_EQ(m_driver->observer().Count(wxEVT_LEFT_DCLICK), 2);
  EXPECT_EQ(doc().PolygonMode(), kPolygonModeFill);
  EXPECT_EQ(doc().Camera().dRotX, 0.0);
  EXPECT_EQ(doc().Camera().dRotY, 0.0);
  EXPECT_FALSE(ViewTestAccess::LeftDown(*view()));
}

TEST_F(ViewCommandsTest, BackgroundColourTakesTheChosenBytesAsProducts) {
  Start();
  using Rgb = std::array<unsigned char, 3>;
  const struct {
    std::optional<Rgb> answer;  // nullopt: the dialog is cancelled
    double red, green, blue;
  } cases[] = {
      {Rgb{128, 64, 255}, 128 * kByteToUnit, 64 * kByteToUnit, 1.0},
      {Rgb{255, 0, 0}, 1.0, 0.0, 0.0},
      {std::nullopt, 1.0, 0.0, 0.0},  // cancel keeps the last colour
      {Rgb{0, 0, 0}, 0.0, 0.0, 0.0},
  };
  int requests = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "red " << c.red);
    recorder().QueueColourAnswer(c.answer);
    const int paints = Paints();
    Command(ID_VIEW_BKGND_COLOR);
    EXPECT_EQ(recorder().colourRequests(), ++requests);
    EXPECT_EQ(doc().Background()[0], c.red);
    EXPECT_EQ(doc().Background()[1], c.green);
    EXPECT_EQ(doc().Background()[2], c.blue);
    GLfloat clear[4] = {0, 0, 0, 0};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], static_cast<float>(c.red));
    EXPECT_EQ(clear[1], static_cast<float>(c.green));
    EXPECT_EQ(clear[2], static_cast<float>(c.blue));
    EXPECT_EQ(clear[3], 1.0f);
    EXPECT_TRUE(PumpUntil([&] { return Paints() > paints; }, 2000)) << "no repaint";
  }
}

TEST_F(ViewCommandsTest, ChosenBackgroundFillsTheEmptyView) {
  Start();
  recorder().QueueColourAnswer(std::array<unsigned char, 3>{128, 64, 255});
  Command(ID_VIEW_BKGND_COLOR);
  int width = 0;
  int height = 0;
  const std::vector<unsigned char> rgb = ReadViewPixels(width, height);
  ASSERT_GT(width * height, 0);
  const std::size_t middle = (static_cast<std::size_t>(height / 2) * width + width / 2) * 3;
  EXPECT_NEAR(rgb[middle], 128, 1);
  EXPECT_NEAR(rgb[middle + 1], 64, 1);
  EXPECT_NEAR(rgb[middle + 2], 255, 1);
}

// One row of the Model Information dialog as it showed: a label and the
// count beside it, with the vertical centres of both on the screen.
struct ShownRow {
  wxString label;
  wxString count;
  int labelMiddle = -1;
  int countMiddle = -1;
};

struct ShownInfo {
  bool seen = false;
  wxString title;
  std::vector<ShownRow> rows;
  wxSize clientSize;
  wxSize expectedClientSize;
  int defaultId = 0;
};

CModelInfoDlg* FindInfoDialog() {
  for (wxWindow* window : wxTopLevelWindows) {
    if (auto* dlg = dynamic_cast<CModelInfoDlg*>(window)) return dlg;
  }
  return nullptr;
}

int Middle(const wxWindow* window) {
  const wxRect rect = window->GetScreenRect();
  return rect.y + rect.height / 2;
}

void ReadInfoDialog(CModelInfoDlg& dlg, ShownInfo& info) {
  info.seen = true;
  info.title = dlg.GetTitle();
  // The labels are the dialog's own static texts, in creation order.
  std::vector<wxWindow*> labels;
  for (wxWindow* child : dlg.GetChildren()) {
    if (child->GetId() == wxID_STATIC) labels.push_back(child);
  }
  const int ids[] = {IDC_POLYGONS, IDC_VERTICES, IDC_MATERIALS};
  for (std::size_t i = 0; i < std::size(ids); ++i) {
    ShownRow row;
    if (i < labels.size()) {
      row.label = labels[i]->GetLabel();
      row.labelMiddle = Middle(labels[i]);
    }
    if (wxWindow* count = dlg.FindWindow(ids[i])) {
      row.count = count->GetLabel();
      row.countMiddle = Middle(count);
    }
    info.rows.push_back(row);
  }
  info.clientSize = dlg.GetClientSize();
  info.expectedClientSize = dlg.ConvertDialogToPixels(wxSize(186, 81));
  if (wxWindow* def = dlg.GetDefaultItem()) info.defaultId = def->GetId();
}

// Reads the dialog once it runs modally, then closes it with OK.
void InspectInfoDialogWhenShown(ShownInfo& info, int attemptsLeft = 400) {
  wxTheApp->CallAfter([&info, attemptsLeft] {
    CModelInfoDlg* dlg = FindInfoDialog();
    if (dlg == nullptr || !dlg->IsModal()) {
      if (attemptsLeft > 0) InspectInfoDialogWhenShown(info, attemptsLeft - 1);
      return;
    }
    ReadInfoDialog(*dlg, info);
    dlg->EndModal(wxID_OK);
  });
}

TEST_F(ViewCommandsTest, ModelInformationShowsTheCounts) {
  Start();
  OpenCounted(1200, 900, 45);
  ASSERT_TRUE(MenuEnabled(ID_VIEW_MODEL_INFO));
  ShownInfo info;
  InspectInfoDialogWhenShown(info);
  Command(ID_VIEW_MODEL_INFO);
  ASSERT_TRUE(info.seen) << "the dialog never ran modally";
  EXPECT_EQ(info.title, "Model Information");
  const struct {
    const char* label;
    const char* count;
  } expected[] = {{"Polygons", "1200"}, {"Vertices", "900"}, {"Materials", "45"}};
  ASSERT_EQ(info.rows.size(), std::size(expected));
  for (std::size_t i = 0; i < info.rows.size(); ++i) {
    const ShownRow& row = info.rows[i];
    EXPECT_EQ(row.label, expected[i].label);
    EXPECT_EQ(row.count, expected[i].count);
    // Each count sits beside its label, centred on the same line.
    EXPECT_NEAR(row.countMiddle, row.labelMiddle, 1) << expected[i].label;
  }
  EXPECT_EQ(info.clientSize, info.expectedClientSize);
  EXPECT_EQ(info.defaultId, wxID_OK);
  EXPECT_EQ(FindInfoDialog(), nullptr) << "the dialog is gone after OK";
}

// The whole screen's picture, in screen coordinates: RGB rows from the top.
#ifdef _WIN32
std::vector<unsigned char> CaptureScreen(const std::string& /*scratch*/, int& width, int& height) {
  wxScreenDC screen;
  const wxSize size = screen.GetSize();
  wxBitmap bitmap(size);
  wxMemoryDC memory(bitmap);
  memory.Blit(0, 0, size.x, size.y, &screen, 0, 0);
  memory.SelectObject(wxNullBitmap);
  const wxImage image = bitmap.ConvertToImage();
  width = image.GetWidth();
  height = image.GetHeight();
  return std::vector<unsigned char>(image.GetData(), image.GetData() + width * height * 3);
}
#else
std::vector<unsigned char> CaptureScreen(const std::string& scratch, int& width, int& height) {
  return window_test::CaptureWindow(
      DefaultRootWindow(static_cast<Display*>(wxGetDisplayInfo().dpy)), scratch, width, height);
}
#endif

// The rows of ink (pixels clearly darker than the dialog) between the rows
// top and bottom and the columns left and right of the screen picture.
std::pair<int, int> InkRows(const std::vector<unsigned char>& rgb, int width, int top, int bottom,
                            int left, int right) {
  int first = -1, last = -1;
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
      if (rgb[at] + rgb[at + 1] + rgb[at + 2] < 3 * 110) {
        if (first < 0) first = y;
        last = y;
        break;
      }
    }
  }
  return {first, last};
}

// What the user sees: each label's text on the same line as the count in
// its box. The boxes are given the labels' own words, so that both texts
// have the same glyphs and their ink must stand at the same height.
TEST_F(ViewCommandsTest, ModelInformationLabelsStandLevelWithTheirCounts) {
  Start();
  OpenCounted();
  const wxString words[] = {"Polygons", "Vertices", "Materials"};
  const int ids[] = {IDC_POLYGONS, IDC_VERTICES, IDC_MATERIALS};
  std::vector<std::pair<int, int>> labelInk, countInk;
  int step = 0;
  wxTimer look;
  look.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    CModelInfoDlg* dlg = FindInfoDialog();
    if (dlg == nullptr || !dlg->IsModal() || !dlg->IsShownOnScreen()) return;
    if (step++ == 0) {
      for (std::size_t i = 0; i < std::size(ids); ++i) dlg->FindWindow(ids[i])->SetLabel(words[i]);
      return;  // painted by the next tick
    }
    int width = 0, height = 0;
    const std::vector<unsigned char> rgb = CaptureScreen(dir().File("info.ppm"), width, height);
    std::vector<wxWindow*> labels;
    for (wxWindow* child : dlg->GetChildren()) {
      if (child->GetId() == wxID_STATIC) labels.push_back(child);
    }
    for (std::size_t i = 0; i < std::size(ids) && i < labels.size() && !rgb.empty(); ++i) {
      // The box with its sunken edge; the count's text inside it.
      const wxRect box = dlg->FindWindow(ids[i])->GetParent()->GetScreenRect();
      const wxRect label = labels[i]->GetScreenRect();
      labelInk.push_back(
          InkRows(rgb, width, box.y - 4, box.GetBottom() + 4, label.x, label.GetRight()));
      countInk.push_back(
          InkRows(rgb, width, box.y + 3, box.GetBottom() - 3, box.x + 3, box.GetRight() - 3));
    }
    dlg->EndModal(wxID_OK);
  });
  look.Start(200);
  Command(ID_VIEW_MODEL_INFO);
  look.Stop();

  ASSERT_EQ(labelInk.size(), std::size(ids));
  for (std::size_t i = 0; i < labelInk.size(); ++i) {
    SCOPED_TRACE(words[i].utf8_string());
    ASSERT_GE(labelInk[i].first, 0);
    ASSERT_GE(countInk[i].first, 0);
    EXPECT_NEAR(labelInk[i].first, countInk[i].first, 1);
    EXPECT_NEAR(labelInk[i].second, countInk[i].second, 1);
  }
}

TEST_F(ViewCommandsTest, ModelInformationNeedsAModelWithExtent) {
  Start();
  view()->OpenModel(WriteModel("point.bin", view_test::SinglePointModel()));
  EXPECT_EQ(view()->KeyStep(), 0.0);
  EXPECT_FALSE(view()->ModelPath().empty());
  EXPECT_FALSE(MenuEnabled(ID_VIEW_MODEL_INFO));
  EXPECT_TRUE(Tool(ID_VIEW_SEATTLE_PALETTE).enabled);

  OpenCounted();
  EXPECT_TRUE(MenuEnabled(ID_VIEW_MODEL_INFO));
}

TEST_F(ViewCommandsTest, PaletteSwitchReloadsAndRefitsAlsoForTheSamePalette) {
  Start();
  OpenCounted();
  recorder().ClearLog();
  for (int palette : {1, 1, 0}) {
    SCOPED_TRACE(palette);
    MoveCamera(doc(), [&](scene::Camera& camera) { camera.dRotY = 33.0; });
    MoveCamera(doc(), [&](scene::Camera& camera) { camera.dPanX = 4.0; });
    MoveCamera(doc(), [&](scene::Camera& camera) { camera.dDistance = 123.0; });
    ViewTestAccess::KeyStep(*view()) = 7.0;
    const int loads = recorder().waitCursorCount();
    Command(palette == 1 ? ID_VIEW_SEATTLE_PALETTE : ID_VIEW_SANFRAN_PALETTE);
    EXPECT_EQ(recorder().waitCursorCount(), loads + 1) << "the model was not read again";
    EXPECT_EQ(doc().PaletteIndex(), palette);
    EXPECT_EQ(doc().Camera().dRotY, 0.0);
    EXPECT_EQ(doc().Camera().dPanX, 0.0);
    EXPECT_DOUBLE_EQ(doc().Camera().dDistance, view_test::kCountedFit);
    EXPECT_DOUBLE_EQ(view()->KeyStep(), view_test::kCountedStep);
    // The Seattle palette has no material-less colour of its own: black.
    EXPECT_EQ(doc().Model().DefaultColor()[0], palette == 1 ? 0.0 : 1.0);
  }
  EXPECT_TRUE(recorder().messages().empty()) << recorder().messages()[0].text;
}

TEST_F(ViewCommandsTest, ChosenPaletteIsSavedAsRegionOnClose) {
  Start();
  OpenCounted();
  Command(ID_VIEW_SEATTLE_PALETTE);
  m_driver.reset();
  CloseViewer();
  const std::string config = ReadWholeFile(dir().File("zorvik.cfg"));
  EXPECT_NE(config.find("Region 1"), std::string::npos) << config;
}

TEST_F(ViewCommandsTest, FailedPaletteSwitchKeepsWhatCanBeKept) {
  const struct {
    const char* what;
    bool removeModel;
    bool removeSeattle;
    const char* message;
    int palette;      // in view and document afterwards
    double step;      // afterwards
    double rotation;  // m_dRotY afterwards (no refit when not 0)
  } cases[] = {
      // The file went away: nothing was read, the view stays as it was,
      // palette choice included, so the marks do not claim a palette the
      // model was never converted through.
      {"model gone", true, false, "Error Loading Model", 0, 7.0, 33.0},
      // The palette went away: the model was read again but not fitted;
      // the step follows the unchanged fit distance.
      {"palette gone", false, true, "Error Loading Palette", 1, view_test::kCountedStep, 33.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WritePalettes();
    Start();
    const std::string path = OpenCounted();
    if (c.removeModel) std::filesystem::remove(path);
    if (c.removeSeattle) std::filesystem::remove(dir().File("seattle.pal"));
    MoveCamera(doc(), [&](scene::Camera& camera) { camera.dRotY = 33.0; });
    ViewTestAccess::KeyStep(*view()) = 7.0;
    recorder().ClearLog();
    const int paints = Paints();
    Command(ID_VIEW_SEATTLE_PALETTE);
    ASSERT_EQ(recorder().messages().size(), 1u);
    // The heading, then the file and the reason on a line of its own.
    EXPECT_EQ(recorder().messages()[0].text.rfind(std::string(c.message) + "\r\n", 0), 0u)
        << recorder().messages()[0].text;
    EXPECT_EQ(doc().PaletteIndex(), c.palette);
    EXPECT_DOUBLE_EQ(view()->KeyStep(), c.step);
    EXPECT_EQ(doc().Camera().dRotY, c.rotation);
    EXPECT_EQ(view()->ModelPath(), path);
    EXPECT_TRUE(Tool(ID_VIEW_SEATTLE_PALETTE).enabled);
    EXPECT_TRUE(PumpUntil([&] { return Paints() > paints; }, 2000)) << "no repaint";
    m_driver.reset();
    CloseViewer();
  }
}

}  // namespace
