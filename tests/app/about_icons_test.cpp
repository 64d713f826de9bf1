// The About box in its dialog-unit layout, the About command, and the
// images drawn for the program.
#include <wx/button.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <functional>

#include "app/about_dlg.h"
#include "app/icons.h"
#include "window_fixture.h"

namespace window_test {
namespace {

class AboutTest : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    WriteConfig(kPlainConfig);
    StartViewer();
  }
};

template <typename T>
T* FindChild(wxWindow& parent, const std::function<bool(T*)>& match) {
  for (wxWindow* child : parent.GetChildren()) {
    if (auto* typed = dynamic_cast<T*>(child); typed != nullptr && match(typed)) return typed;
  }
  return nullptr;
}

TEST_F(AboutTest, AboutBoxKeepsItsDialogUnitLayout) {
  CAboutDlg dlg(frame());
  wxWindow* du = &dlg;  // dialog units are the box's own
  EXPECT_EQ(dlg.GetTitle(), "About Zorvik");
  EXPECT_EQ(dlg.GetClientSize(), wxDLG_UNIT(du, wxSize(217, 55)));

  auto* icon = FindChild<wxStaticBitmap>(dlg, [](wxStaticBitmap*) { return true; });
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->GetPosition(), wxDLG_UNIT(du, wxPoint(9, 17)));
  EXPECT_TRUE(icon->GetBitmap().IsOk());

  const struct {
    const char* text;
    wxPoint pos;
  } texts[] = {{"Zorvik Version 2.0", {47, 15}}, {nullptr, {47, 30}}};
  for (const auto& row : texts) {
    auto* text = FindChild<wxStaticText>(
        dlg, [&](wxStaticText* t) { return t->GetPosition() == wxDLG_UNIT(du, row.pos); });
    ASSERT_NE(text, nullptr) << row.pos.y;
    EXPECT_EQ(text->GetSize(), wxDLG_UNIT(du, wxSize(119, 8)));
    if (row.text != nullptr) {
      EXPECT_EQ(text->GetLabel(), row.text);
    } else {
      EXPECT_FALSE(text->GetLabel().empty());
    }
  }

  auto* ok = FindChild<wxButton>(dlg, [](wxButton* b) { return b->GetId() == wxID_OK; });
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->GetLabel(), "OK");
  EXPECT_EQ(ok->GetPosition(), wxDLG_UNIT(du, wxPoint(176, 7)));
  EXPECT_EQ(ok->GetSize(), wxDLG_UNIT(du, wxSize(32, 14)));
  EXPECT_EQ(dlg.GetDefaultItem(), ok);
}

TEST_F(AboutTest, HelpAboutShowsTheBoxModally) {
  bool seen = false;
  bool modal = false;
  // Runs inside the dialog's own loop: note it and close it as OK would.
  wxTheApp->CallAfter([&] {
    for (wxWindow* window : wxTopLevelWindows) {
      auto* dlg = dynamic_cast<CAboutDlg*>(window);
      if (dlg == nullptr) continue;
      seen = true;
      modal = dlg->IsModal();
      dlg->EndModal(wxID_OK);
    }
  });
  wxCommandEvent about(wxEVT_MENU, ID_APP_ABOUT);
  frame()->ProcessWindowEvent(about);
  EXPECT_TRUE(seen);
  EXPECT_TRUE(modal);
}

// Mean colour of the opaque pixels in one quarter of an image.
std::array<double, 3> QuarterColour(const wxImage& img, int qx, int qy) {
  const int w = img.GetWidth() / 2, h = img.GetHeight() / 2;
  std::array<double, 3> sum = {0, 0, 0};
  int count = 0;
  for (int y = qy * h; y < (qy + 1) * h; ++y) {
    for (int x = qx * w; x < (qx + 1) * w; ++x) {
      if (img.GetAlpha(x, y) < 128) continue;
      sum[0] += img.GetRed(x, y);
      sum[1] += img.GetGreen(x, y);
      sum[2] += img.GetBlue(x, y);
      ++count;
    }
  }
  if (count == 0) return sum;
  return {sum[0] / count, sum[1] / count, sum[2] / count};
}

TEST(AppIcon, ShowsAYellowConeRedBoxGreenCylinderAndBlueSphereAtBothSizes) {
  for (int size : {32, 16}) {
    SCOPED_TRACE(size);
    const wxImage img = MakeAppIconBitmap(size).ConvertToImage();
    ASSERT_EQ(img.GetWidth(), size);
    ASSERT_EQ(img.GetHeight(), size);
    ASSERT_TRUE(img.HasAlpha());
    EXPECT_LT(img.GetAlpha(0, size - 1), 128) << "the corners stay transparent";

    // Each part's quarter: the channel that must lead, the one it leads and
    // by how much (0 red, 1 green, 2 blue; yellow leads blue twice).
    const struct {
      const char* part;
      int column, row;
      int lead, over, margin;
    } leads[] = {
        {"cone", 0, 0, 0, 2, 60},   {"cone", 0, 0, 1, 2, 60},     {"box", 1, 0, 0, 1, 60},
        {"box", 1, 0, 0, 2, 60},    {"cylinder", 0, 1, 1, 0, 40}, {"cylinder", 0, 1, 1, 2, 40},
        {"sphere", 1, 1, 2, 0, 60}, {"sphere", 1, 1, 2, 1, 30},
    };
    for (const auto& c : leads) {
      const auto colour = QuarterColour(img, c.column, c.row);
      EXPECT_GT(colour[c.lead], colour[c.over] + c.margin) << c.part;
    }
  }
  const wxIconBundle icons = MakeAppIcons();
  EXPECT_EQ(icons.GetIconCount(), 2u);
  EXPECT_TRUE(icons.GetIcon(wxSize(32, 32), wxIconBundle::FALLBACK_NONE).IsOk());
  EXPECT_TRUE(icons.GetIcon(wxSize(16, 16), wxIconBundle::FALLBACK_NONE).IsOk());
}

struct PixelCounts {
  int transparent = 0, red = 0, cyan = 0, dark = 0, green = 0, blue = 0;
};

PixelCounts Count(const wxImage& img) {
  PixelCounts c;
  for (int y = 0; y < img.GetHeight(); ++y) {
    for (int x = 0; x < img.GetWidth(); ++x) {
      if (img.GetAlpha(x, y) < 128) {
        ++c.transparent;
        continue;
      }
      const int r = img.GetRed(x, y), g = img.GetGreen(x, y), b = img.GetBlue(x, y);
      if (r > 200 && g < 60 && b < 60) ++c.red;
      if (r < 60 && g > 200 && b > 200) ++c.cyan;
      if (r < 60 && g > 200 && b < 60) ++c.green;
      if (r < 60 && g < 60 && b > 200) ++c.blue;
      if (r < 140 && g < 140 && b < 140) ++c.dark;
    }
  }
  return c;
}

TEST(ToolImages, EachIs16By15AndShowsItsSubject) {
  const struct {
    ToolImage image;
    const char* name;
    std::function<bool(const PixelCounts&)> looksRight;
  } rows[] = {
      {ToolImage::Open, "folder", [](const PixelCounts& c) { return c.dark > 20; }},
      {ToolImage::SanfranPalette, "red bridge",
       [](const PixelCounts& c) { return c.red > 40 && c.red > c.dark; }},
      {ToolImage::SeattlePalette, "dark tower",
       [](const PixelCounts& c) { return c.dark > 40 && c.red == 0; }},
      {ToolImage::Wireframe, "outlined triangle",
       [](const PixelCounts& c) { return c.dark > 20 && c.cyan == 0 && c.transparent > 150; }},
      {ToolImage::Textured, "checked triangle",
       [](const PixelCounts& c) { return c.cyan > 10 && c.blue > 10; }},
      {ToolImage::BkgndColor, "monitor",
       [](const PixelCounts& c) { return c.red >= 4 && c.green >= 4 && c.blue >= 4; }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const wxImage img = MakeToolBitmap(row.image).ConvertToImage();
    ASSERT_EQ(img.GetWidth(), 16);
    ASSERT_EQ(img.GetHeight(), 15);
    ASSERT_TRUE(img.HasAlpha());
    EXPECT_TRUE(row.looksRight(Count(img)));
  }
  // The outlined triangle is hollow, the textured one filled.
  const wxImage outline = MakeToolBitmap(ToolImage::Wireframe).ConvertToImage();
  const wxImage filled = MakeToolBitmap(ToolImage::Textured).ConvertToImage();
  EXPECT_LT(outline.GetAlpha(7, 9), 128);
  EXPECT_GT(filled.GetAlpha(7, 9), 128);
}

}  // namespace
}  // namespace window_test
