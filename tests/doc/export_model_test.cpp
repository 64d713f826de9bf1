// File > Save and File > Export as the document runs them: the model's
// files written, or the failure shown to the user with the stop icon and
// every target left as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "convert/cob_export.h"
#include "doc/zorvik_doc.h"
#include "doc_fixture.h"
#include "support/doc_access.h"
#include "support/edit_model.h"
#include "support/small_fs.h"

namespace {

namespace fs = std::filesystem;

using platform::MsgIcon;
using platform::RecordedMessage;
using Messages = std::vector<RecordedMessage>;

class ExportModelTest : public DocTest {
 protected:
  void AddTriangle() {
    EditContent(DocTestAccess::Model(m_doc), [](ModelContent& c) {
      for (int i = 0; i < 3; ++i) {
        Vertex v;
        v.x = static_cast<float>(i);
        c.m_vecVertices.push_back(v);
      }
      Polygon triangle;
      triangle.nVerts = 3;
      triangle.vecVertIdx = c.m_indexPool.Add({0, 1, 2});
      c.m_vecPolygons.push_back(triangle);
    });
  }

  CZorvikDoc m_doc;
};

TEST_F(ExportModelTest, WritesTheModelQuietly) {
  AddTriangle();
  const std::string path = File("plane.cob");
  EXPECT_TRUE(m_doc.ExportModel(path).Ok());
  const std::string written = ReadWholeFile(path);
  EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.end()),
            cob::BuildCobFile(m_doc.Model()));

  // The formats of File > Export, told by the caller.
  const struct {
    ExportFormat format;
    const char* name;
    const char* magic;
    std::vector<const char*> beside;
  } formats[] = {{ExportFormat::kGlb, "plane.glb", "glTF", {}},
                 {ExportFormat::kGltf, "plane.gltf", "{", {"plane_geometry.bin"}},
                 {ExportFormat::kObj, "plane.obj", "", {"plane.mtl"}}};
  for (const auto& f : formats) {
    SCOPED_TRACE(f.name);
    EXPECT_TRUE(m_doc.ExportModel(File(f.name), f.format).Ok());
    EXPECT_EQ(ReadWholeFile(File(f.name)).rfind(f.magic, 0), 0u);
    for (const char* other : f.beside) EXPECT_TRUE(fs::exists(File(other))) << other;
  }
  // The document itself shows nothing, done or failed.
  EXPECT_EQ(m_ui.messages(), Messages{});
}

TEST_F(ExportModelTest, FailuresSayWhyAndKeepTheOldFile) {
  SmallFileSystem disk(root() + "/disk", "16k");
  const std::string underFile = File("plain") + "/plane.cob";
  { std::ofstream(File("plain")) << "x"; }
  EXPECT_EQ(m_doc.ExportModel(underFile).message,
            "Error opening " + underFile + " for writing\r\nNot a directory");

  // A file made read-only is refused as one that cannot be opened, and kept
  // with its mode, even for root.
  const std::string readOnly = File("kept.cob");
  { std::ofstream(readOnly) << "kept"; }
  chmod(readOnly.c_str(), 0444);
  EXPECT_EQ(m_doc.ExportModel(readOnly).message,
            "Error opening " + readOnly + " for writing\r\nPermission denied");
  EXPECT_EQ(ReadWholeFile(readOnly), "kept");
  struct stat st {};
  ASSERT_EQ(stat(readOnly.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0444u);

  if (!disk.Mounted()) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
  // Far more vertices than the small disk holds.
  EditContent(DocTestAccess::Model(m_doc), [](ModelContent& c) { c.m_vecVertices.resize(5000); });
  const std::string full = root() + "/disk/plane.cob";
  const ExportResult result = m_doc.ExportModel(full);
  EXPECT_EQ(result.status, ExportStatus::kCannotWrite);
  EXPECT_EQ(result.message, "Error writing " + full + "\r\nNo space left on device");
}

// The model on screen may be the only copy: no export replaces the file it
// was read from, also where only a file written beside the main one would
// (a glTF buffer is named after OUT), and a refused export writes nothing.
TEST_F(ExportModelTest, TheOpenModelFileIsNeverWrittenOver) {
  AddTriangle();
  DocTestAccess::ModelFile(m_doc) = File("plane_geometry.bin");
  { std::ofstream(m_doc.ModelFile()) << "LGMD model bytes"; }
  const std::string refused =
      "Error opening " + m_doc.ModelFile() + " for writing\r\nit is the open model file";
  EXPECT_EQ(m_doc.ExportModel(File("plane.gltf"), ExportFormat::kGltf).message, refused);
  EXPECT_EQ(m_doc.ExportModel(m_doc.ModelFile()).message, refused);
  EXPECT_EQ(ReadWholeFile(m_doc.ModelFile()), "LGMD model bytes");
  EXPECT_FALSE(fs::exists(File("plane.gltf")));
  EXPECT_TRUE(m_doc.ExportModel(File("other.gltf"), ExportFormat::kGltf).Ok());
}

}  // namespace
