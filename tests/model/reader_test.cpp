#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <sstream>

#include "lgmd_builder/lgmd_builder.h"
#include "model/model.h"
#include "support/describe_model.h"
#include "support/lgmd_examples.h"
#include "support/temp_dir.h"

namespace {

using lgmd::BuilderMaterial;
using lgmd::BuilderObject;
using lgmd::BuilderPolygon;
using lgmd::ModelDesc;
using Bytes = std::vector<std::uint8_t>;

std::vector<int> Ints(const IndexSpan& indices) { return {indices.begin(), indices.end()}; }

bool ReadDesc(CModel& model, const ModelDesc& desc) {
  const auto bytes = lgmd::Build(desc);
  return model.ReadFromMemory(bytes.data(), bytes.size()).ok();
}

TEST(Model, StartsEmptyAndSwapsRedAndBlueBothWays) {
  CModel model;
  EXPECT_EQ(model.Min().x, 1e8f);
  EXPECT_EQ(model.Max().y, -1e8f);
  model.SwapRedBlue();  // no materials: nothing to do
  ModelDesc desc = lgmd::TriangleModel();
  desc.materials = {{"a", 0, 7, 10, 20, 30}, {"b", 1, 8, 40, 50, 60}};
  desc.polygons[0].texIdx.clear();
  desc.polygons[0].materialId = 255;
  ASSERT_TRUE(ReadDesc(model, desc));
  const std::string before = Describe(model);
  model.SwapRedBlue();
  EXPECT_EQ(model.Materials()[1].fColor[0], static_cast<float>(40 * kByteToUnit));
  EXPECT_EQ(model.Materials()[1].fColor[2], static_cast<float>(60 * kByteToUnit));
  EXPECT_EQ(model.Materials()[1].fColor[1], static_cast<float>(50 * kByteToUnit));
  model.SwapRedBlue();
  EXPECT_EQ(Describe(model), before);
}

TEST(Reader, ReadsTheTriangleExample) {
  CModel model;
  ASSERT_TRUE(ReadDesc(model, lgmd::TriangleModel()));
  EXPECT_EQ(model.Name(), "tri");
  EXPECT_EQ(model.Version(), 2);
  EXPECT_EQ(model.PolygonCount(), 1);
  EXPECT_EQ(model.VertexCount(), 3);
  EXPECT_EQ(model.MaterialCount(), 1);
  EXPECT_EQ(model.SubObjectCount(), 0);
  EXPECT_TRUE(model.SubObjects().empty());
  EXPECT_EQ(model.Content().m_vecSectionOffsets,
            (std::vector<int>{110, 203, 229, 253, 253, 289, 289, 301, 331, 0}));

  ASSERT_EQ(model.Materials().size(), 1u);
  const Material& wall = model.Materials()[0];
  EXPECT_EQ(wall.strName, "wall");
  EXPECT_EQ(wall.nKind, 0);
  EXPECT_EQ(wall.nId, 7);
  EXPECT_EQ(wall.nTexNumber, 12);
  EXPECT_EQ(wall.nTexIndex, -1);
  EXPECT_EQ(wall.fColor[0], 0.0f);
  EXPECT_EQ(wall.fColor[1], 0.0f);
  EXPECT_EQ(wall.fColor[2], static_cast<float>(12 * kByteToUnit));
  EXPECT_EQ(wall.fColor[3], 1.0f);

  ASSERT_EQ(model.TexCoords().size(), 3u);
  EXPECT_EQ(model.TexCoords()[1].u, 1.0f);
  EXPECT_EQ(model.TexCoords()[2].v, 1.0f);

  ASSERT_EQ(model.Polygons().size(), 1u);
  const Polygon& p = model.Polygons()[0];
  EXPECT_EQ(p.pMaterial, &model.Materials()[0]);
  EXPECT_EQ(p.nVerts, 3);
  EXPECT_EQ(Ints(p.vecVertIdx), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Ints(p.vecTexIdx), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Ints(p.vecAuxIdx), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(p.dNormal[2], 1.0);

  ASSERT_EQ(model.Vertices().size(), 3u);
  for (const Vertex& v : model.Vertices()) {
    EXPECT_EQ(v.nx, 0.0f);
    EXPECT_EQ(v.ny, 0.0f);
    EXPECT_EQ(v.nz, 1.0f);
    EXPECT_EQ(v.nCount, 0);  // placement reuses it: nothing was placed
  }
  EXPECT_EQ(model.Min().x, 0.0f);
  EXPECT_EQ(model.Max().x, 1.0f);
  EXPECT_EQ(model.Max().y, 1.0f);
  EXPECT_EQ(model.Max().z, 0.0f);
}

// What cannot be a model is refused by its type or its first bytes, without
// opening a fifo or device and without reading a huge file.
TEST(Reader, RefusesWhatIsNoModelFromItsTypeOrFirstBytes) {
  ScopedTempDir dir;
  const std::string path = dir.File("tri.bin");
  ASSERT_TRUE(lgmd::WriteFile(path, lgmd::Build(lgmd::TriangleModel())));
  ASSERT_EQ(mkfifo(dir.File("pipe.bin").c_str(), 0600), 0);
  ASSERT_TRUE(WriteSparseFile(dir.File("image.bin"), 1ull << 30, {{0, {'C', 'D', '0', '0', '1'}}}));
  ASSERT_TRUE(WriteSparseFile(dir.File("huge.bin"), 100ull << 30, {{0, {'L', 'G', 'M', 'D'}}}));
  const struct {
    std::string file;
    ReadError error;
    std::string reason;
  } cases[] = {
      {dir.File("missing.bin"), ReadError::CannotOpen, "No such file or directory"},
      {dir.path().string(), ReadError::NotRegularFile, "is a directory"},
      // The open must not wait for a writer.
      {dir.File("pipe.bin"), ReadError::NotRegularFile, "not a regular file"},
      {"/dev/zero", ReadError::NotRegularFile, "not a regular file"},
      {dir.File("image.bin"), ReadError::BadMagic,
       "not an LGMD model (it does not start with \"LGMD\")"},
      {dir.File("huge.bin"), ReadError::CountOutOfRange,
       "object count 0 is out of range (a model needs its root object)"},
  };
  CModel model;
  ASSERT_TRUE(model.Read(path).ok());
  const std::string before = Describe(model);
  for (const auto& c : cases) {
    ReadResult result;
    EXPECT_FALSE((result = model.Read(c.file)).ok()) << c.file;
    EXPECT_EQ(result.error, c.error) << c.file;
    EXPECT_EQ(result.Reason(), c.reason);
    EXPECT_EQ(Describe(model), before);
  }
}

// A file is read a section at a time: what lies outside the sections costs
// nothing, wherever the sections are, and a section longer than any index
// can reach is checked against the file but kept only as far as it can be
// used.
TEST(Reader, ReadsOnlyWhatTheSectionTableReaches) {
  const Bytes triangle = lgmd::Build(lgmd::TriangleModel());
  CModel expected;
  ASSERT_TRUE(expected.ReadFromMemory(triangle.data(), triangle.size()).ok());
  // The triangle with every section moved `by` bytes further into the file.
  auto moved = [&](std::int32_t by) {
    ModelDesc desc = lgmd::TriangleModel();
    auto table = lgmd::SectionTable(desc);
    for (std::int32_t& entry : table) entry += by;
    desc.sectionTable = table;
    const Bytes bytes = lgmd::Build(desc);
    return FilePieces{
        {0, Bytes(bytes.begin(), bytes.begin() + 110)},
        {110 + static_cast<std::uint64_t>(by), Bytes(bytes.begin() + 110, bytes.end())}};
  };
  // Texture coordinates reaching 40000 records (the first three written).
  ModelDesc longDesc = lgmd::TriangleModel();
  auto table = lgmd::SectionTable(longDesc);
  const std::int32_t far = 1 << 30;
  table[2] = far;
  table[3] = far + 8 * 40000;
  longDesc.sectionTable = table;
  const Bytes longBytes = lgmd::Build(longDesc);
  const Bytes texCoords(triangle.begin() + 229, triangle.begin() + 253);

  struct Case {
    const char* name;
    std::uint64_t size;
    FilePieces pieces;
    std::size_t texCoords;  // 0: the file is refused
  };
  const Case cases[] = {
      {"a model followed by 4 GiB of nothing", (std::uint64_t{4} << 30) + 331, {{0, triangle}}, 3},
      {"sections 1.5 GiB into the file", 331 + (3u << 29), moved(3 << 29), 3},
      {"texture coordinates past any index",
       far + 8 * 40000,
       {{0, longBytes}, {static_cast<std::uint64_t>(far), texCoords}},
       32768},
      {"texture coordinates past the file",
       far + 8 * 40000 - 1,
       {{0, longBytes}, {static_cast<std::uint64_t>(far), texCoords}},
       0},
  };
  ScopedTempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File("model.bin");
    ASSERT_TRUE(WriteSparseFile(path, c.size, c.pieces));
    CModel model;
    const ReadResult result = model.Read(path);
    ASSERT_EQ(result.ok(), c.texCoords != 0) << result.Reason();
    std::filesystem::remove(path);
    if (c.texCoords == 0) {
      EXPECT_EQ(result.Reason(), "file ends at offset " + std::to_string(c.size) +
                                     " inside the texture-coordinate section");
      continue;
    }
    ASSERT_EQ(model.TexCoords().size(), c.texCoords);
    EXPECT_EQ(model.TexCoords()[1].u, 1.0f);
    EXPECT_EQ(model.Polygons()[0].pMaterial, &model.Materials()[0]);
    if (c.texCoords == 3) {
      // Everything but the section table, which moved.
      const std::string got = Describe(model);
      const std::string want = Describe(expected);
      EXPECT_EQ(got.substr(got.find("\nmat")), want.substr(want.find("\nmat")));
    }
  }
}

TEST(Reader, TextureNumbersFollowVersion) {
  struct Case {
    int version;
    int expectedSecond;  // texture number of material 1, blue byte 40
  };
  const Case cases[] = {{2, 40}, {3, 1}, {4, 40}, {5, 40}};
  for (const Case& c : cases) {
    ModelDesc desc = lgmd::TriangleModel();
    desc.version = c.version;
    desc.materials = {{"a", 0, 1, 30, 0, 0}, {"b", 0, 2, 40, 50, 60}, {"c", 1, 3, 70, 0, 0}};
    CModel model;
    ASSERT_TRUE(ReadDesc(model, desc)) << c.version;
    EXPECT_EQ(model.Materials()[1].nTexNumber, c.expectedSecond) << c.version;
    EXPECT_EQ(model.Materials()[2].nTexNumber, 0) << "colour materials have no texture";
    EXPECT_EQ(model.Materials()[1].fColor[0], static_cast<float>(60 * kByteToUnit));
    EXPECT_EQ(model.Materials()[1].fColor[2], static_cast<float>(40 * kByteToUnit));
    EXPECT_EQ(model.Materials()[1].fColor[1], static_cast<float>(50 * kByteToUnit));
  }
}

TEST(Reader, PolygonRecordLengthDependsOnVersion) {
  // Two polygons: if the record length were wrong, the second would be
  // read from the wrong place.
  for (int version : {2, 3, 4, 5}) {
    ModelDesc desc = lgmd::TriangleModel();
    desc.version = version;
    desc.vertices.push_back({5.0f, 5.0f, 5.0f});
    desc.normals.push_back({1.0f, 0.0f, 0.0f});
    BuilderPolygon second;
    second.materialId = 255;
    second.normalIndex = 1;
    second.vertIdx = {3, 2, 1, 0};
    second.auxIdx = {9, 8, 7, 6};
    desc.polygons.push_back(second);
    CModel model;
    ASSERT_TRUE(ReadDesc(model, desc)) << version;
    const Polygon& p = model.Polygons()[1];
    EXPECT_EQ(Ints(p.vecVertIdx), (std::vector<int>{3, 2, 1, 0})) << version;
    EXPECT_EQ(Ints(p.vecAuxIdx), (std::vector<int>{9, 8, 7, 6})) << version;
    EXPECT_EQ(Ints(p.vecTexIdx), (std::vector<int>{0, 0, 0, 0})) << version;
    EXPECT_EQ(p.dNormal[0], 1.0) << version;
    EXPECT_EQ(p.pMaterial, nullptr);
  }
}

TEST(Reader, MaterialMatchingByIdAndKind) {
  struct Case {
    const char* what;
    std::int16_t materialId;
    std::uint8_t flags;
    std::vector<std::int16_t> texIdx;  // what the record carries
    int expectedMaterial;              // -1: none
  };
  // Materials: 0 colour id 5, 1 textured id 5, 2 textured id 6, 3 kind 2 id 8.
  const Case cases[] = {
      {"textured polygon passes over the colour material", 5, 0x00, {2, 1, 0}, 1},
      {"colour polygon takes the first material", 5, 0x40, {}, 0},
      {"other flag bits do not matter", 6, 0xBF, {0, 0, 1}, 2},
      {"no colour material with id 6", 6, 0x40, {}, -1},
      {"id 255 means no material", 255, 0x00, {}, -1},
      {"unknown id", 9, 0x00, {}, -1},
      {"kind 2 never matches", 8, 0x00, {}, -1},
      {"kind 2 never matches a colour polygon", 8, 0x40, {}, -1},
  };
  for (const Case& c : cases) {
    ModelDesc desc = lgmd::TriangleModel();
    desc.materials = {
        {"c5", 1, 5, 0, 0, 0}, {"t5", 0, 5, 1, 0, 0}, {"t6", 0, 6, 2, 0, 0}, {"k8", 2, 8, 3, 0, 0}};
    desc.polygons[0].materialId = c.materialId;
    desc.polygons[0].flags = c.flags;
    desc.polygons[0].texIdx = c.texIdx;
    // A second polygon after it shows that the record length was right.
    BuilderPolygon follower;
    follower.vertIdx = {2, 1, 0};
    follower.auxIdx = {4, 4, 4};
    desc.polygons.push_back(follower);
    CModel model;
    ASSERT_TRUE(ReadDesc(model, desc)) << c.what;
    const Polygon& p = model.Polygons()[0];
    const Material* expected =
        c.expectedMaterial < 0 ? nullptr : &model.Materials()[c.expectedMaterial];
    EXPECT_EQ(p.pMaterial, expected) << c.what;
    std::vector<int> tex(c.texIdx.begin(), c.texIdx.end());
    if (tex.empty()) tex.assign(3, 0);
    EXPECT_EQ(Ints(p.vecTexIdx), tex) << c.what;
    EXPECT_EQ(Ints(model.Polygons()[1].vecAuxIdx), (std::vector<int>{4, 4, 4})) << c.what;
  }
}

TEST(Reader, TransparencyComesFromTheTexturedNamePrefix) {
  struct Case {
    const char* name;
    std::uint8_t kind;
    float alpha;
  };
  const Case cases[] = {{"t_glass", 0, 0.0f}, {"T_glass", 0, 0.0f},  {"t_", 0, 0.0f},
                        {"tglass", 0, 1.0f},  {"_t_glass", 0, 1.0f}, {"t", 0, 1.0f},
                        {"t-glass", 0, 1.0f}, {"t_red", 1, 1.0f},    {"", 0, 1.0f}};
  for (const Case& c : cases) {
    ModelDesc desc = lgmd::TriangleModel();
    desc.materials = {{c.name, c.kind, 7, 12, 0, 0}};
    CModel model;
    ASSERT_TRUE(ReadDesc(model, desc)) << c.name;
    EXPECT_EQ(model.Materials()[0].fColor[3], c.alpha) << c.name;
  }
}

TEST(Reader, NamesUseTheirWholeFieldWhenNotTerminated) {
  ModelDesc desc = lgmd::TriangleModel();
  desc.name = "ABCDEFGH";
  desc.materials[0].name = "0123456789abcdef";
  CModel model;
  ASSERT_TRUE(ReadDesc(model, desc));
  EXPECT_EQ(model.Name(), "ABCDEFGH");
  EXPECT_EQ(model.Materials()[0].strName, "0123456789abcdef");
}

TEST(Reader, SectionsAndCountsEdgeCases) {
  {
    // Materials counted but absent from the file: natural defaults.
    ModelDesc desc = lgmd::TriangleModel();
    desc.materials.clear();
    desc.materialCount = 2;
    desc.polygons[0].texIdx.clear();
    CModel model;
    ASSERT_TRUE(ReadDesc(model, desc));
    ASSERT_EQ(model.Materials().size(), 2u);
    for (const Material& m : model.Materials()) {
      EXPECT_EQ(m.strName, "");
      EXPECT_EQ(m.nKind, 0);
      EXPECT_EQ(m.nId, 0);
      EXPECT_EQ(m.fColor[0], 0.0f);
      EXPECT_EQ(m.fColor[3], 1.0f);
      EXPECT_EQ(m.nTexNumber, 0);
      EXPECT_EQ(m.nTexIndex, -1);
    }
    EXPECT_EQ(model.Polygons()[0].pMaterial, nullptr);
  }
  {
    // A 20-byte texture-coordinate section holds two entries.
    ModelDesc desc = lgmd::TriangleModel();
    auto table = lgmd::SectionTable(desc);
    table[3] = table[2] + 20;
    desc.sectionTable = table;
    desc.polygons[0].texIdx = {0, 1, 1};
    CModel model;
    ASSERT_TRUE(ReadDesc(model, desc));
    EXPECT_EQ(model.TexCoords().size(), 2u);
  }
  {
    // Equal coordinates give a box of one point.
    ModelDesc desc = lgmd::TriangleModel();
    desc.vertices.assign(3, {5.0f, 5.0f, 5.0f});
    CModel model;
    ASSERT_TRUE(ReadDesc(model, desc));
    for (float c : {model.Min().x, model.Min().y, model.Min().z, model.Max().x, model.Max().y,
                    model.Max().z}) {
      EXPECT_EQ(c, 5.0f);
    }
  }
  {
    // No vertices and no polygons: the box stays inverted.
    ModelDesc desc;
    desc.name = "empty";
    CModel model;
    ASSERT_TRUE(ReadDesc(model, desc));
    EXPECT_EQ(model.Min().x, 1e8f);
    EXPECT_EQ(model.Max().z, -1e8f);
    EXPECT_EQ(model.SubObjectCount(), 0);
  }
  {
    // A version-4 file may end without the last polygon's unused byte.
    ModelDesc desc = lgmd::TriangleModel();
    desc.version = 4;
    auto bytes = lgmd::Build(desc);
    bytes.pop_back();
    CModel model;
    ASSERT_TRUE(model.ReadFromMemory(bytes.data(), bytes.size()).ok());
    EXPECT_EQ(Ints(model.Polygons()[0].vecTexIdx), (std::vector<int>{0, 1, 2}));
  }
}

TEST(Reader, VertexNormalsAverageTheFaceNormals) {
  ModelDesc desc;
  desc.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {9, 9, 9}};
  desc.normals = {{0, 0, 1}, {1, 0, 0}};
  BuilderPolygon a;
  a.normalIndex = 0;
  a.vertIdx = {0, 1, 2};
  BuilderPolygon b;
  b.normalIndex = 1;
  b.vertIdx = {0, 1, 1};  // vertex 1 twice: counted twice
  desc.polygons = {a, b};
  CModel model;
  ASSERT_TRUE(ReadDesc(model, desc));
  const auto& v = model.Vertices();
  EXPECT_EQ(v[0].nx, 0.5f);
  EXPECT_EQ(v[0].nz, 0.5f);
  EXPECT_FLOAT_EQ(v[1].nx, 2.0f / 3.0f);
  EXPECT_FLOAT_EQ(v[1].nz, 1.0f / 3.0f);
  EXPECT_EQ(v[2].nz, 1.0f);
  // A vertex that no polygon uses keeps a zero normal, not 0/0.
  EXPECT_EQ(v[3].nx, 0.0f);
  EXPECT_EQ(v[3].nz, 0.0f);
  EXPECT_TRUE(std::isfinite(v[3].ny));
}

TEST(Reader, SecondReadReplacesEverything) {
  ModelDesc big = lgmd::TriangleModel();
  big.materials.push_back({"extra", 1, 9, 1, 2, 3});
  big.objects = {BuilderObject{}, BuilderObject{}, BuilderObject{}};
  CModel model;
  ASSERT_TRUE(ReadDesc(model, big));
  model.ApplyPalette(0);
  model.SetPalette(std::vector<PaletteEntry>(256, PaletteEntry{1, 2, 3}));
  ASSERT_TRUE(ReadDesc(model, lgmd::TriangleModel()));
  CModel fresh;
  ASSERT_TRUE(ReadDesc(fresh, lgmd::TriangleModel()));
  EXPECT_EQ(Describe(model), Describe(fresh));
  EXPECT_EQ(model.Polygons()[0].pMaterial, &model.Materials()[0]);
  // What the file does not supply is left to its own steps.
  EXPECT_EQ(model.DefaultColor()[0], 1.0);
  EXPECT_EQ(model.Palette().size(), 256u);
}

// Each case damages the triangle model in one way.
std::vector<std::pair<const char*, Bytes>> MalformedFiles() {
  const ModelDesc base = lgmd::TriangleModel();
  auto built = [](std::function<void(ModelDesc&)> change) {
    ModelDesc desc = lgmd::TriangleModel();
    change(desc);
    return lgmd::Build(desc);
  };
  auto cut = [&](std::size_t size) {
    Bytes bytes = lgmd::Build(base);
    bytes.resize(size);
    return bytes;
  };
  auto withEntry = [&](int entry, std::int32_t value) {
    return built([=](ModelDesc& d) {
      auto t = lgmd::SectionTable(d);
      t[entry] = value;
      d.sectionTable = t;
    });
  };
  auto withChildren = [&](std::vector<std::int16_t> links) {
    return built([=](ModelDesc& d) {
      d.objects.assign(links.size() + 1, BuilderObject{});
      for (std::size_t i = 0; i < links.size(); ++i) d.objects[i + 1].childLink = links[i];
    });
  };
  Bytes lowerMagic = lgmd::Build(base);
  lowerMagic[0] = 'l';
  lowerMagic[1] = 'g';
  lowerMagic[2] = 'm';
  lowerMagic[3] = 'd';
  Bytes wrongMagic = lgmd::Build(base);
  wrongMagic[3] = 'X';

  return {
      {"empty file", {}},
      {"three bytes", {'L', 'G', 'M'}},
      {"magic lgmd", lowerMagic},
      {"magic LGMX", wrongMagic},
      {"header cut in the name", cut(12)},
      {"header cut before the counts", cut(61)},
      {"header cut before the object count", cut(69)},
      {"header cut in the section table", cut(100)},
      {"header only", cut(110)},
      {"material record cut", cut(210)},
      {"texture coordinates cut", cut(240)},
      {"vertex section cut", cut(270)},
      {"normal section cut", cut(295)},
      {"polygon record cut", cut(305)},
      {"polygon cut in the texture indices", cut(329)},
      {"no root object", built([](ModelDesc& d) { d.objectCount = 0; })},
      {"negative polygon count", built([](ModelDesc& d) { d.polygonCount = -1; })},
      {"negative vertex count", built([](ModelDesc& d) { d.vertexCount = -3; })},
      {"more vertices than the file holds", built([](ModelDesc& d) { d.vertexCount = 20000; })},
      {"more polygons than the file holds", built([](ModelDesc& d) { d.polygonCount = 30000; })},
      {"materials end before they start", withEntry(2, 202)},
      {"texture coordinates end before they start", withEntry(3, 228)},
      {"normals end before they start", withEntry(7, 288)},
      {"normals past the file", withEntry(7, 100000)},
      {"vertices start past the file", withEntry(4, 332)},
      {"vertices start at a negative offset", withEntry(4, -8)},
      {"materials start past the file", withEntry(1, 1000)},
      {"normals and polygons start past the file", built([](ModelDesc& d) {
         auto t = lgmd::SectionTable(d);
         t[6] = t[7] = 5000;
         d.sectionTable = t;
       })},
      {"vertex index too large", built([](ModelDesc& d) { d.polygons[0].vertIdx[1] = 3; })},
      {"negative vertex index", built([](ModelDesc& d) { d.polygons[0].vertIdx[2] = -1; })},
      {"normal index too large", built([](ModelDesc& d) { d.polygons[0].normalIndex = 1; })},
      {"negative normal index", built([](ModelDesc& d) { d.polygons[0].normalIndex = -1; })},
      {"texture index too large", built([](ModelDesc& d) { d.polygons[0].texIdx[0] = 3; })},
      {"negative texture index", built([](ModelDesc& d) { d.polygons[0].texIdx[0] = -2; })},
      {"child link 0", withChildren({0, -1})},
      {"child link past the objects", withChildren({3, -1})},
      {"child link -2", withChildren({-2})},
      {"object links itself", withChildren({1})},
      {"two objects link each other", withChildren({2, 1})},
      {"cycle of three behind a good object", withChildren({-1, 3, 4, 2})},
      {"sub-object record cut", built([](ModelDesc& d) {
         d.objects.assign(2, BuilderObject{});
         auto t = lgmd::SectionTable(d);
         t[0] = static_cast<std::int32_t>(lgmd::Build(d).size()) - 93 - 40;
         d.sectionTable = t;
       })},
      {"sub-objects start past the file", built([](ModelDesc& d) {
         d.objects.assign(2, BuilderObject{});
         auto t = lgmd::SectionTable(d);
         t[0] = 400;
         d.sectionTable = t;
       })},
  };
}

// The reader must refuse each and leave the model read before exactly as it
// was.
TEST(Reader, RefusesMalformedFilesAndKeepsThePreviousModel) {
  const auto cases = MalformedFiles();
  CModel model;
  ModelDesc previous = lgmd::TriangleModel();
  previous.name = "before";
  previous.vertices = {{-1, -2, -3}, {4, 5, 6}, {7, 8, 9}};
  previous.objects = {BuilderObject{}, BuilderObject{}};
  previous.objects[1].rangeLength = 10;
  previous.objects[1].matrix[9] = 100.0f;
  ASSERT_TRUE(ReadDesc(model, previous));
  const std::string before = Describe(model);
  const Material* materials = model.Materials().data();
  ASSERT_EQ(model.Vertices()[0].x, 99.0f);  // placed, so placement ran

  for (const auto& [what, bytes] : cases) {
    ReadResult result;
    EXPECT_FALSE((result = model.ReadFromMemory(bytes.data(), bytes.size())).ok()) << what;
    EXPECT_FALSE(result.ok()) << what;
    EXPECT_EQ(Describe(model), before) << what;
    EXPECT_EQ(model.Materials().data(), materials) << what;
  }
  EXPECT_FALSE(model.ReadFromMemory(nullptr, 0).ok());
  EXPECT_EQ(Describe(model), before);
}

// The reason says what a user can act on: where the file ends, which
// record points where.
TEST(Reader, RefusalsSayWhy) {
  const auto triangle = lgmd::Build(lgmd::TriangleModel());  // 331 bytes
  auto badIndex = lgmd::TriangleModel();
  badIndex.polygons[0].vertIdx[1] = 7;
  auto cycle = lgmd::TriangleModel();
  cycle.objects.assign(3, BuilderObject{});
  cycle.objects[1].childLink = 2;
  cycle.objects[2].childLink = 1;
  struct Case {
    std::vector<std::uint8_t> bytes;
    ReadError error;
    std::string reason;
  };
  const Case cases[] = {
      {{'L', 'G', 'M', 'X', 0, 0},
       ReadError::BadMagic,
       "not an LGMD model (it does not start with \"LGMD\")"},
      {std::vector<std::uint8_t>(triangle.begin(), triangle.begin() + 320), ReadError::TooShort,
       "file ends at offset 320 inside the polygon section"},
      {std::vector<std::uint8_t>(triangle.begin(), triangle.begin() + 64), ReadError::TooShort,
       "file ends at offset 64 inside the header"},
      {lgmd::Build(badIndex), ReadError::IndexOutOfRange,
       "polygon 0: vertex index 7 is out of range (3 in the file)"},
      {lgmd::Build(cycle), ReadError::SubObjectCycle, "the parent chain of sub-object 0 loops"},
  };
  for (const Case& c : cases) {
    CModel model;
    ReadResult result;
    EXPECT_FALSE((result = model.ReadFromMemory(c.bytes.data(), c.bytes.size())).ok()) << c.reason;
    EXPECT_EQ(result.error, c.error) << c.reason;
    EXPECT_EQ(result.Reason(), c.reason);
  }
}

// Read from a file, a section at a time into storage the model reuses, or
// from memory in one piece: the same model or the same refusal, whatever
// was read before.
TEST(Reader, FileAndMemoryReadsAgree) {
  auto inputs = MalformedFiles();
  ModelDesc full = lgmd::TriangleModel();
  full.version = 4;
  full.objects.assign(3, BuilderObject{});
  full.objects[1].rangeLength = 1;
  full.objects[2].childLink = 1;
  full.materials.push_back({"paint", 1, 7, 1, 2, 3});
  Bytes trailing = lgmd::Build(full);
  trailing.resize(trailing.size() + 5000, 0xEE);
  inputs.insert(inputs.begin() + 10, {"good", lgmd::Build(full)});
  inputs.insert(inputs.begin() + 20, {"good with bytes after it", trailing});
  inputs.push_back({"the triangle", lgmd::Build(lgmd::TriangleModel())});

  ScopedTempDir dir;
  CModel fromFile;
  int n = 0;
  for (const auto& [what, bytes] : inputs) {
    SCOPED_TRACE(what);
    const std::string path = dir.File(std::to_string(++n) + ".bin");
    ASSERT_TRUE(lgmd::WriteFile(path, bytes));
    CModel fromMemory;
    const ReadResult fileResult = fromFile.Read(path);
    const ReadResult memoryResult = fromMemory.ReadFromMemory(bytes.data(), bytes.size());
    EXPECT_EQ(fileResult.ok(), memoryResult.ok());
    EXPECT_EQ(fileResult.Reason(), memoryResult.Reason());
    if (fileResult.ok()) {
      EXPECT_EQ(Describe(fromFile), Describe(fromMemory));
    }
  }
}

}  // namespace
