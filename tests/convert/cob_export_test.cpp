// The trueSpace export: the bytes of the file. How the file reaches the
// disk is the safe-write module's, tested with it.
#include "convert/cob_export.h"

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

#include "io/safe_write.h"
#include "lgmd_builder/lgmd_builder.h"
#include "model/model.h"
#include "support/edit_model.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// --- Building models and reading the bytes back -----------------------------

// CModel cannot be copied or moved, so the helpers hand out owned ones.
std::unique_ptr<CModel> MakeModel(const std::vector<std::array<float, 3>>& positions,
                                  const std::vector<std::vector<int>>& faces) {
  ModelContent model;
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
    polygon.vecVertIdx = model.m_indexPool.Add(corners);
    polygon.vecTexIdx = model.m_indexPool.Filled(corners.size(), 0);
    polygon.vecAuxIdx = model.m_indexPool.Filled(corners.size(), 0);
    model.m_vecPolygons.push_back(polygon);
  }
  model.m_nVertices = static_cast<int>(model.m_vecVertices.size());
  model.m_nPolygons = static_cast<int>(model.m_vecPolygons.size());
  auto owned = std::make_unique<CModel>();
  owned->Assign(std::move(model));
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
  EditContent(*model, [](ModelContent& c) {
    c.m_vecMaterials.emplace_back();
    c.m_nMaterials = 1;
    c.m_vecPolygons[1].pMaterial = &c.m_vecMaterials[0];
    c.m_vecPolygons[1].vecTexIdx = c.m_indexPool.Add({3, 2, 1, 0});
    c.m_vecPolygons[1].byFlags = 0x40;
  });

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
  ASSERT_TRUE(model.ReadFromMemory(file.data(), file.size()).ok());
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

  const safewrite::WriteResult written = model->ExportCob(path);
  ASSERT_TRUE(written.Ok()) << written.Line();
  EXPECT_EQ(ReadBytes(path), cob::BuildCobFile(*model));
  EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"plane.cob"});
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u) << "a replaced file keeps its rights";

  // A model file, whatever its name, is not the place for an export.
  const std::string modelFile = dir.File("model.cob");
  const std::string kept = "LGMD and the rest of a model";
  WriteText(modelFile, kept);
  EXPECT_FALSE(model->ExportCob(modelFile).Ok());
  EXPECT_EQ(ReadBytes(modelFile), std::vector<std::uint8_t>(kept.begin(), kept.end()));
}

}  // namespace
