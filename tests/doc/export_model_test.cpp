// File > Save as the document runs it: the model's file written, or the
// failure shown to the user with the stop icon.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "doc/zorvik_doc.h"
#include "doc_fixture.h"
#include "model/cob_export.h"
#include "support/small_fs.h"

namespace {

using platform::MsgIcon;
using platform::RecordedMessage;
using Messages = std::vector<RecordedMessage>;

class ExportModelTest : public DocTest {
 protected:
  void AddTriangle() {
    for (int i = 0; i < 3; ++i) {
      Vertex v;
      v.x = static_cast<float>(i);
      m_doc.m_model.m_vecVertices.push_back(v);
    }
    Polygon triangle;
    triangle.nVerts = 3;
    triangle.vecVertIdx = m_doc.m_model.m_indexPool.Add({0, 1, 2});
    m_doc.m_model.m_vecPolygons.push_back(triangle);
  }

  CZorvikDoc m_doc;
};

TEST_F(ExportModelTest, WritesTheModelQuietly) {
  AddTriangle();
  const std::string path = File("plane.cob");
  EXPECT_EQ(m_doc.ExportModel(path), 0);
  EXPECT_EQ(m_ui.messages(), Messages{});
  const std::string written = ReadWholeFile(path);
  EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.end()),
            cob::BuildCobFile(m_doc.m_model));
}

TEST_F(ExportModelTest, FailuresAreShownWithTheStopIcon) {
  SmallFileSystem disk(root() + "/disk", "16k");
  const std::string underFile = File("plain") + "/plane.cob";
  { std::ofstream(File("plain")) << "x"; }
  EXPECT_EQ(m_doc.ExportModel(underFile), -1);
  Messages expected = {{"Error opening " + underFile + " for writing", MsgIcon::Stop}};
  EXPECT_EQ(m_ui.messages(), expected);

  if (!disk.Mounted()) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
  // Far more vertices than the small disk holds.
  m_doc.m_model.m_vecVertices.resize(5000);
  const std::string full = root() + "/disk/plane.cob";
  EXPECT_EQ(m_doc.ExportModel(full), -1);
  expected.push_back({"Error writing " + full, MsgIcon::Stop});
  EXPECT_EQ(m_ui.messages(), expected);
}

}  // namespace
