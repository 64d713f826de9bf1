// The trueSpace export: the bytes of the file, and that writing it never
// damages what was at the target before.
#include "model/cob_export.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "model/model.h"
#include "support/lgmd_builder.h"
#include "support/small_fs.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// --- Building models and reading the bytes back -----------------------------

// CModel cannot be copied or moved, so the helpers hand out owned ones.
std::unique_ptr<CModel> MakeModel(const std::vector<std::array<float, 3>>& positions,
                                  const std::vector<std::vector<int>>& faces) {
  auto owned = std::make_unique<CModel>();
  CModel& model = *owned;
  for (const auto& p : positions) {
    Vertex v;
    v.x = p[0];
    v.y = p[1];
    v.z = p[2];
    model.m_vecVertices.push_back(v);
  }
  for (const auto& corners : faces) {
    Polygon polygon;
    polygon.nVerts = static_cast<int>(corners.size());
    polygon.vecVertIdx = corners;
    polygon.vecTexIdx.assign(corners.size(), 0);
    polygon.vecAuxIdx.assign(corners.size(), 0);
    model.m_vecPolygons.push_back(polygon);
  }
  model.m_nVertices = static_cast<int>(model.m_vecVertices.size());
  model.m_nPolygons = static_cast<int>(model.m_vecPolygons.size());
  return owned;
}

std::vector<std::uint8_t> FromHex(const std::string& hex) {
  std::vector<std::uint8_t> bytes;
  std::string digits;
  for (char c : hex) {
    if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
  }
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

std::vector<std::uint8_t> FromText(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// The parts every file shares, spelled out byte by byte.
const std::vector<std::uint8_t> kFileHeader = FromText("Caligari V00.01BLH             \n");
const std::vector<std::uint8_t> kAxesAndPosition = FromHex(
    "00000000"                               // empty name
    "00000000 00000000 00000000"             // centre
    "0000803f 00000000 00000000"             // x axis
    "00000000 0000803f 00000000"             // y axis
    "00000000 00000000 0000803f"             // z axis
    "0000803f 00000000 00000000 00000000"    // position row 1
    "00000000 0000803f 00000000 00000000"    // position row 2
    "00000000 00000000 0000803f 00000000");  // position row 3
const std::vector<std::uint8_t> kOneTexCoord = FromHex("01000000 00000000 00000000");
const std::vector<std::uint8_t> kEndChunk =
    Concat({FromText("END "), FromHex("0100 0000 00000000 00000000 00000000")});

std::vector<std::uint8_t> PolyChunkHeader(std::uint32_t length) {
  std::vector<std::uint8_t> header =
      Concat({FromText("PolH"), FromHex("0000 0200 01000000 00000000")});
  for (int i = 0; i < 4; ++i) header.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
  return header;
}

// Reads the file back independently of the writer.
class Decoder {
 public:
  explicit Decoder(const std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}
  bool AtLeast(std::size_t n) const { return m_pos + n <= m_bytes.size(); }
  std::int32_t I32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(m_bytes.at(m_pos++)) << (8 * i);
    return static_cast<std::int32_t>(v);
  }
  std::int16_t I16() {
    const auto v = static_cast<std::uint16_t>(m_bytes.at(m_pos) | (m_bytes.at(m_pos + 1) << 8));
    m_pos += 2;
    return static_cast<std::int16_t>(v);
  }
  std::uint8_t U8() { return m_bytes.at(m_pos++); }
  float F32() { return std::bit_cast<float>(static_cast<std::uint32_t>(I32())); }
  void Seek(std::size_t pos) { m_pos = pos; }
  std::size_t Pos() const { return m_pos; }

 private:
  const std::vector<std::uint8_t>& m_bytes;
  std::size_t m_pos = 0;
};

struct DecodedFace {
  std::uint8_t flags = 0;
  int material = -1;
  std::vector<int> vertices;  // as stored: last corner first
  std::vector<int> texIndices;
};

struct DecodedCob {
  std::int32_t chunkLength = 0;
  std::vector<std::array<float, 3>> positions;
  std::int32_t texCount = 0;
  std::vector<DecodedFace> faces;
  std::size_t endChunkAt = 0;
};

DecodedCob Decode(const std::vector<std::uint8_t>& bytes) {
  DecodedCob cob;
  Decoder in(bytes);
  in.Seek(48);
  cob.chunkLength = in.I32();
  in.Seek(152);
  const int v = in.I32();
  for (int i = 0; i < v; ++i) cob.positions.push_back({in.F32(), in.F32(), in.F32()});
  cob.texCount = in.I32();
  in.Seek(in.Pos() + 8 * static_cast<std::size_t>(cob.texCount));
  const int f = in.I32();
  for (int i = 0; i < f; ++i) {
    DecodedFace face;
    face.flags = in.U8();
    const int n = in.I16();
    face.material = in.I16();
    for (int c = 0; c < n; ++c) {
      face.vertices.push_back(in.I32());
      face.texIndices.push_back(in.I32());
    }
    cob.faces.push_back(face);
  }
  cob.endChunkAt = in.Pos();
  return cob;
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  const std::string text = ReadWholeFile(path);
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::string> DirectoryEntries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// --- Layout -----------------------------------------------------------------

TEST(CobLayout, EmptyModelIsHeaderEmptyBodyAndEndChunk) {
  const CModel model;
  const auto expected = Concat({kFileHeader, PolyChunkHeader(120), kAxesAndPosition,
                                FromHex("00000000"),  // no vertices
                                kOneTexCoord,
                                FromHex("00000000"),  // no faces
                                kEndChunk});
  ASSERT_EQ(expected.size(), 192u);
  EXPECT_EQ(cob::BuildCobFile(model), expected);
}

TEST(CobLayout, TriangleCornersAreWrittenLastFirst) {
  const auto model = MakeModel({{1.5f, -2.0f, 3.25f}, {4, 5, 6}, {-7, 8, 9}}, {{0, 1, 2}});
  const auto expected = Concat({kFileHeader, PolyChunkHeader(185), kAxesAndPosition,
                                FromHex("03000000"
                                        "0000c03f 000000c0 00005040"    // 1.5, -2, 3.25
                                        "00008040 0000a040 0000c040"    // 4, 5, 6
                                        "0000e0c0 00000041 00001041"),  // -7, 8, 9
                                kOneTexCoord,
                                FromHex("01000000"  // one face
                                        "10 0300 0000"
                                        "02000000 00000000"
                                        "01000000 00000000"
                                        "00000000 00000000"),
                                kEndChunk});
  ASSERT_EQ(expected.size(), 257u);
  EXPECT_EQ(cob::BuildCobFile(*model), expected);
}

TEST(CobLayout, FacesOfEveryCornerCountKeepTheirSizeAndOrder) {
  // Degenerate faces included: a face takes 5 + 8n bytes whatever n is.
  const std::vector<std::vector<int>> faces = {{0, 1, 2}, {3, 2, 1, 0}, {4, 0, 1, 2, 3},         {},
                                               {5},       {5, 4},       {0, 1, 2, 3, 4, 5, 0, 1}};
  std::vector<std::array<float, 3>> positions;
  for (int i = 0; i < 6; ++i) positions.push_back({float(i), float(i * 2), float(-i)});
  auto model = MakeModel(positions, faces);
  // Material and texture data must not change a face's bytes.
  Material material;
  model->m_vecMaterials.push_back(material);
  model->m_nMaterials = 1;
  model->m_vecPolygons[1].pMaterial = &model->m_vecMaterials[0];
  model->m_vecPolygons[1].vecTexIdx = {3, 2, 1, 0};
  model->m_vecPolygons[1].byFlags = 0x40;

  const auto bytes = cob::BuildCobFile(*model);
  std::size_t corners = 0;
  for (const auto& f : faces) corners += f.size();
  const std::size_t chunkLength = 120 + 12 * positions.size() + 5 * faces.size() + 8 * corners;
  ASSERT_EQ(bytes.size(), chunkLength + 72);

  const DecodedCob cob = Decode(bytes);
  EXPECT_EQ(cob.chunkLength, static_cast<std::int32_t>(chunkLength));
  EXPECT_EQ(cob.texCount, 1);
  ASSERT_EQ(cob.positions.size(), positions.size());
  for (std::size_t i = 0; i < positions.size(); ++i) EXPECT_EQ(cob.positions[i], positions[i]);
  ASSERT_EQ(cob.faces.size(), faces.size());
  for (std::size_t i = 0; i < faces.size(); ++i) {
    SCOPED_TRACE("face " + std::to_string(i));
    EXPECT_EQ(cob.faces[i].flags, 0x10);
    EXPECT_EQ(cob.faces[i].material, 0);
    EXPECT_EQ(cob.faces[i].vertices, std::vector<int>(faces[i].rbegin(), faces[i].rend()));
    EXPECT_EQ(cob.faces[i].texIndices, std::vector<int>(faces[i].size(), 0));
  }
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + cob.endChunkAt, bytes.end()), kEndChunk);
}

TEST(CobLayout, VerticesAreWrittenExactlyAsHeld) {
  // No change of axes, sign or scale, and no rounding through text.
  const std::vector<std::array<float, 3>> positions = {
      {0.1f, -0.0f, 1e-30f}, {3.4e38f, -3.4e38f, 123456.789f}, {-1.0f / 3.0f, 2.5f, -7.75f}};
  const DecodedCob cob = Decode(cob::BuildCobFile(*MakeModel(positions, {})));
  ASSERT_EQ(cob.positions.size(), positions.size());
  for (std::size_t i = 0; i < positions.size(); ++i) {
    for (int axis = 0; axis < 3; ++axis) {
      EXPECT_EQ(std::bit_cast<std::uint32_t>(cob.positions[i][axis]),
                std::bit_cast<std::uint32_t>(positions[i][axis]));
    }
  }
}

TEST(CobLayout, SubObjectVerticesAreExportedInModelSpace) {
  lgmd::ModelDesc desc;
  desc.vertices = {{1, 2, 3}, {0, 0, 0}, {1, 0, 0}, {5, 5, 5}, {6, 5, 5}, {5, 6, 5}};
  desc.normals = {{0, 0, 1}};
  lgmd::BuilderPolygon inSub;
  inSub.vertIdx = {0, 1, 2};
  inSub.auxIdx = {0, 0, 0};
  lgmd::BuilderPolygon atRoot;
  atRoot.vertIdx = {3, 4, 5};
  atRoot.auxIdx = {50, 50, 50};
  desc.polygons = {inSub, atRoot};
  lgmd::BuilderObject root;
  lgmd::BuilderObject sub;
  // A quarter turn about z, then 10 along x.
  sub.matrix = {0, 1, 0, -1, 0, 0, 0, 0, 1, 10, 0, 0};
  sub.rangeFirst = 0;
  sub.rangeLength = 10;
  desc.objects = {root, sub};
  const auto file = lgmd::Build(desc);

  CModel model;
  ASSERT_EQ(model.ReadFromMemory(file.data(), file.size(), false), 0);
  const DecodedCob cob = Decode(cob::BuildCobFile(model));
  const std::vector<std::array<float, 3>> expected = {{8, 1, 3}, {10, 0, 0}, {10, 1, 0},
                                                      {5, 5, 5}, {6, 5, 5},  {5, 6, 5}};
  EXPECT_EQ(cob.positions, expected);
  ASSERT_EQ(cob.faces.size(), 2u);
  EXPECT_EQ(cob.faces[0].vertices, (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(cob.faces[1].vertices, (std::vector<int>{5, 4, 3}));
}

// --- Writing the file ---------------------------------------------------------

const std::string kOldContent = "the user's earlier file, which must survive";

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(CobExport, WritesTheFileAndReplacesAnOlderOneEntirely) {
  ScopedTempDir dir;
  const std::string path = dir.File("plane.cob");
  WriteText(path, std::string(5000, 'x'));  // longer than the export: nothing of it may remain
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  auto model = MakeModel({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
  std::string error;

  ASSERT_EQ(model->ExportCob(path, error), 0) << error;
  EXPECT_EQ(ReadBytes(path), cob::BuildCobFile(*model));
  EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"plane.cob"});
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u) << "a replaced file keeps its rights";
}

TEST(CobExport, NewFileGetsTheUsualRights) {
  ScopedTempDir dir;
  const std::string path = dir.File("new.cob");
  const mode_t mask = umask(022);
  CModel model;
  std::string error;
  const int result = model.ExportCob(path, error);
  umask(mask);
  ASSERT_EQ(result, 0) << error;
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  EXPECT_EQ(ReadBytes(path).size(), 192u);
}

TEST(CobExport, PathRelativeToTheCurrentDirectoryIsWritten) {
  ScopedTempDir dir;
  const fs::path previous = fs::current_path();
  fs::current_path(dir.path());
  CModel model;
  std::string error;
  const int result = model.ExportCob("bare.cob", error);
  fs::current_path(previous);
  ASSERT_EQ(result, 0) << error;
  EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"bare.cob"});
}

TEST(CobExport, ThroughALinkTheLinkedFileGetsTheContent) {
  ScopedTempDir dir;
  const std::string real = dir.File("real.cob");
  const std::string link = dir.File("link.cob");
  WriteText(real, kOldContent);
  fs::create_symlink(real, link);
  CModel model;
  std::string error;
  ASSERT_EQ(model.ExportCob(link, error), 0) << error;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBytes(real).size(), 192u);
  EXPECT_EQ(DirectoryEntries(dir.path()), (std::vector<std::string>{"link.cob", "real.cob"}));
}

TEST(CobExport, TargetsThatCannotBeCreatedAreReportedAndChangeNothing) {
  ScopedTempDir dir;
  WriteText(dir.File("plain-file"), kOldContent);
  fs::create_directory(dir.File("folder"));
  // Root ignores permission bits, so each of these fails for another reason.
  const std::vector<std::string> targets = {
      dir.File("plain-file") + "/out.cob",  // a path component that is a file
      dir.File("missing") + "/out.cob",     // a directory that does not exist
      dir.File("folder"),                   // a directory itself
      dir.File("folder") + "/",             // no file name at all
      "/proc/zorvik-export-test.cob",       // a directory that takes no new files
  };
  for (const std::string& target : targets) {
    SCOPED_TRACE(target);
    auto model = MakeModel({{1, 2, 3}}, {});
    std::string error;
    EXPECT_EQ(model->ExportCob(target, error), -1);
    EXPECT_EQ(error, "Error opening " + target + " for writing");
  }
  EXPECT_EQ(ReadWholeFile(dir.File("plain-file")), kOldContent);
  EXPECT_TRUE(fs::is_empty(dir.File("folder")));
  EXPECT_EQ(DirectoryEntries(dir.path()), (std::vector<std::string>{"folder", "plain-file"}));
}

TEST(CobExport, EmptyPathIsRefused) {
  CModel model;
  std::string error;
  EXPECT_EQ(model.ExportCob("", error), -1);
  EXPECT_EQ(error, "Error opening  for writing");
}

// A writer that takes `budget` bytes and then fails as a full disk does.
cob::WriteFn FailingAfter(std::size_t budget, std::size_t chunk = SIZE_MAX) {
  auto left = std::make_shared<std::size_t>(budget);
  return [left, chunk](int fd, const void* data, std::size_t size) -> ssize_t {
    if (*left == 0) {
      errno = ENOSPC;
      return -1;
    }
    const std::size_t n = std::min({size, *left, chunk});
    const ssize_t written = ::write(fd, data, n);
    if (written > 0) *left -= static_cast<std::size_t>(written);
    return written;
  };
}

TEST(CobExport, WriteFailureLeavesTheOldFileAndNoTemporaryFile) {
  auto model = MakeModel({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {{0, 1, 2}, {1, 3, 2}});
  const auto bytes = cob::BuildCobFile(*model);
  // Fail at once, after one byte, in the middle, and one byte short; in
  // pieces of one byte and in whole writes.
  const std::vector<std::size_t> budgets = {0, 1, bytes.size() / 2, bytes.size() - 1};
  for (std::size_t chunk : {std::size_t{1}, SIZE_MAX}) {
    for (std::size_t budget : budgets) {
      SCOPED_TRACE("budget " + std::to_string(budget) + " chunk " + std::to_string(chunk));
      ScopedTempDir dir;
      const std::string path = dir.File("plane.cob");
      WriteText(path, kOldContent);
      std::string error;
      EXPECT_EQ(cob::ReplaceFileContents(path, bytes, error, FailingAfter(budget, chunk)), -1);
      EXPECT_EQ(error, "Error writing " + path);
      EXPECT_EQ(ReadWholeFile(path), kOldContent);
      EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"plane.cob"});
    }
  }
}

TEST(CobExport, WriteFailureWithNoEarlierFileLeavesNothing) {
  ScopedTempDir dir;
  const std::string path = dir.File("plane.cob");
  std::string error;
  EXPECT_EQ(cob::ReplaceFileContents(path, cob::BuildCobFile(CModel()), error, FailingAfter(100)),
            -1);
  EXPECT_EQ(error, "Error writing " + path);
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(CobExport, ShortAndInterruptedWritesStillWriteEverything) {
  ScopedTempDir dir;
  const std::string path = dir.File("plane.cob");
  const auto bytes = cob::BuildCobFile(*MakeModel({{1, 2, 3}, {4, 5, 6}}, {{0, 1}}));
  int calls = 0;
  const cob::WriteFn stuttering = [&calls](int fd, const void* data, std::size_t size) -> ssize_t {
    if (++calls % 3 == 0) {
      errno = EINTR;
      return -1;
    }
    return ::write(fd, data, std::min<std::size_t>(size, 7));
  };
  std::string error;
  ASSERT_EQ(cob::ReplaceFileContents(path, bytes, error, stuttering), 0) << error;
  EXPECT_EQ(ReadBytes(path), bytes);
}

TEST(CobExport, PipesAreWrittenInPlace) {
  // A pipe (or a device such as /dev/stdout) cannot be replaced by a file;
  // it takes the bytes as they come.
  ScopedTempDir dir;
  const std::string path = dir.File("pipe.cob");
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  const int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  CModel model;
  std::string error;
  EXPECT_EQ(model.ExportCob(path, error), 0) << error;
  std::vector<std::uint8_t> got(1024);
  const ssize_t n = read(reader, got.data(), got.size());
  close(reader);
  got.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  EXPECT_EQ(got, cob::BuildCobFile(model));
  EXPECT_TRUE(fs::is_fifo(path));
  EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"pipe.cob"});
}

// --- On a real small file system ------------------------------------------------

std::unique_ptr<CModel> LargeModel(int vertices) {
  std::vector<std::array<float, 3>> positions;
  for (int i = 0; i < vertices; ++i) positions.push_back({float(i), 0, 0});
  return MakeModel(positions, {});
}

TEST(CobExportOnDisk, FullDiskLeavesTheOldFileAndNoTemporaryFile) {
  ScopedTempDir dir;
  SmallFileSystem disk(dir.path() / "disk", "64k");
  if (!disk.Mounted()) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
  const std::string path = (dir.path() / "disk" / "plane.cob").string();
  WriteText(path, kOldContent);
  auto model = LargeModel(20000);  // some 240 KB, far more than the disk holds
  std::string error;
  EXPECT_EQ(model->ExportCob(path, error), -1);
  EXPECT_EQ(error, "Error writing " + path);
  EXPECT_EQ(ReadWholeFile(path), kOldContent);
  EXPECT_EQ(DirectoryEntries(dir.path() / "disk"), std::vector<std::string>{"plane.cob"});

  // A model that fits still goes through on the same disk.
  auto small = LargeModel(10);
  ASSERT_EQ(small->ExportCob(path, error), 0) << error;
  EXPECT_EQ(ReadBytes(path), cob::BuildCobFile(*small));
}

TEST(CobExportOnDisk, ReadOnlyDirectoryLeavesTheOldFile) {
  ScopedTempDir dir;
  SmallFileSystem disk(dir.path() / "disk", "64k");
  if (!disk.Mounted()) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
  const std::string path = (dir.path() / "disk" / "plane.cob").string();
  WriteText(path, kOldContent);
  ASSERT_TRUE(disk.MakeReadOnly());
  auto model = LargeModel(3);
  std::string error;
  EXPECT_EQ(model->ExportCob(path, error), -1);
  EXPECT_EQ(error, "Error opening " + path + " for writing");
  EXPECT_EQ(ReadWholeFile(path), kOldContent);
  EXPECT_EQ(DirectoryEntries(dir.path() / "disk"), std::vector<std::string>{"plane.cob"});
}

}  // namespace
