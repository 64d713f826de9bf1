#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "lgmd_builder/lgmd_builder.h"
#include "model/lgmd_writer.h"
#include "model/model.h"
#include "support/edit_model.h"
#include "support/full_model.h"
#include "support/lgmd_round_trip.h"

namespace {

using lgmd::BuilderMaterial;
using lgmd::BuilderObject;
using lgmd::BuilderPolygon;
using lgmd::ModelDesc;
using lgmd::Section;
using Bytes = std::vector<std::uint8_t>;

// Random models of every version with every kind of record, their unused
// bytes random too, their sections in any order with padding between them.
class RandomModels {
 public:
  explicit RandomModels(unsigned seed) : m_rng(seed) {}

  ModelDesc Next() {
    ModelDesc desc;
    desc.version = Pick({2, 3, 4, 5});
    desc.name = Name(8);
    Fill(desc.headerUnused);
    const int materials = Int(0, 6);
    for (int j = 0; j < materials; ++j) {
      BuilderMaterial m;
      m.name = (Int(0, 3) == 0 ? "t_" : "") + Name(Int(0, 3) == 0 ? 16 : 10);
      m.name.resize(std::min<std::size_t>(m.name.size(), 16));
      m.kind = static_cast<std::uint8_t>(Pick({0, 0, 1, 1, 2}));
      m.id = static_cast<std::uint8_t>(Int(0, 3));
      m.blue = Byte();
      m.green = Byte();
      m.red = Byte();
      Fill(m.unused);
      desc.materials.push_back(m);
    }
    for (int i = Int(1, 6); i > 0; --i) desc.texCoords.push_back({Real(), Real()});
    for (int i = Int(1, 12); i > 0; --i) desc.vertices.push_back({Real(), Real(), Real()});
    for (int i = Int(1, 5); i > 0; --i) desc.normals.push_back({Real(), Real(), Real()});
    AddObjects(desc);
    AddPolygons(desc);
    ShuffleSections(desc);
    return desc;
  }

 private:
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
  int Pick(std::initializer_list<int> values) {
    return *(values.begin() + Int(0, static_cast<int>(values.size()) - 1));
  }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(Int(0, 255)); }
  float Real() { return std::uniform_real_distribution<float>(-100.0f, 100.0f)(m_rng); }
  template <std::size_t N>
  void Fill(std::array<std::uint8_t, N>& bytes) {
    for (auto& b : bytes) b = Byte();
  }
  std::string Name(std::size_t longest) {
    std::string name(static_cast<std::size_t>(Int(0, static_cast<int>(longest))), 'a');
    for (char& c : name) c = static_cast<char>(Int('!', '~'));
    return name;
  }

  // Sub-objects own consecutive index ranges; each object links at most
  // one child, and a child is linked once, so the links make a forest.
  void AddObjects(ModelDesc& desc) {
    const int count = Int(0, 4);
    for (int i = 0; i <= count; ++i) {
      BuilderObject o;
      o.name = Name(8);
      for (float& f : o.matrix) f = Real();
      o.childLink = static_cast<std::int16_t>(i == 0 ? Int(-1, 3) : -1);
      o.rangeFirst = static_cast<std::int16_t>(10 * i);
      o.rangeLength = static_cast<std::int16_t>(Pick({10, 10, 3, 0}));
      Fill(o.unused);
      desc.objects.push_back(o);
    }
    std::vector<int> order(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) order[static_cast<std::size_t>(i)] = i + 1;
    std::shuffle(order.begin(), order.end(), m_rng);
    for (std::size_t k = 0; k + 1 < order.size(); ++k) {
      if (Int(0, 2) != 0)
        desc.objects[order[k]].childLink = static_cast<std::int16_t>(order[k + 1]);
    }
  }

  // Texture-coordinate indices go into a record exactly when the reader
  // finds the polygon a textured material.
  void AddPolygons(ModelDesc& desc) {
    const auto vertices = static_cast<int>(desc.vertices.size());
    const int subObjects = static_cast<int>(desc.objects.size()) - 1;
    for (int k = Int(0, 10); k > 0; --k) {
      BuilderPolygon p;
      p.materialId = static_cast<std::int16_t>(Pick({255, 0, 1, 2, 3, 4}));
      p.flags = static_cast<std::uint8_t>((Byte() & ~0x40) | Pick({0, 0x40}));
      p.normalIndex = static_cast<std::int16_t>(Int(0, static_cast<int>(desc.normals.size()) - 1));
      const int corners = Pick({0, 3, 3, 4, 5});
      for (int c = 0; c < corners; ++c) {
        p.vertIdx.push_back(static_cast<std::int16_t>(Int(0, vertices - 1)));
        p.auxIdx.push_back(static_cast<std::int16_t>(10 * Int(0, subObjects) + Pick({0, 0, 2})));
      }
      const BuilderMaterial* match = nullptr;
      for (const BuilderMaterial& m : desc.materials) {
        if (p.materialId != 255 && m.id == p.materialId && m.kind == ((p.flags & 0x40) ? 1 : 0)) {
          match = &m;
          break;
        }
      }
      if (match != nullptr && match->kind == 0) {
        for (int c = 0; c < corners; ++c) {
          p.texIdx.push_back(
              static_cast<std::int16_t>(Int(0, static_cast<int>(desc.texCoords.size()) - 1)));
        }
      }
      Fill(p.unused);
      desc.polygons.push_back(p);
    }
  }

  // Materials run straight into texture coordinates and normals into
  // polygons (one table entry ends the first and starts the second), so
  // those pairs move together.
  void ShuffleSections(ModelDesc& desc) {
    std::vector<std::vector<Section>> blocks = {{Section::kObjects},
                                                {Section::kMaterials, Section::kTexCoords},
                                                {Section::kVertices},
                                                {Section::kNormals, Section::kPolygons}};
    if (Int(0, 2) == 0) return;  // the usual layout, which a re-save gives back byte for byte
    std::shuffle(blocks.begin(), blocks.end(), m_rng);
    std::size_t i = 0;
    for (const auto& block : blocks) {
      desc.gapBefore[i] = static_cast<std::uint8_t>(Int(0, 9));
      for (Section section : block) desc.order[i++] = section;
    }
  }

  std::mt19937 m_rng;
};

// Where two files part, for a message that says more than "differ".
std::string FirstDifference(const Bytes& a, const Bytes& b) {
  const auto [pa, pb] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  if (pa == a.end() && pb == b.end()) return "none";
  return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) +
         ", first difference at offset " + std::to_string(pa - a.begin());
}

bool IsUsualLayout(const ModelDesc& desc) {
  return desc.order == ModelDesc().order && desc.gapBefore == ModelDesc().gapBefore;
}

TEST(LgmdWriter, RandomModelsWriteAndReadBackTheSame) {
  RandomModels models(20261208);
  int usual = 0;
  for (int n = 0; n < 500; ++n) {
    const ModelDesc desc = models.Next();
    const Bytes file = lgmd::Build(desc);
    CModel read;
    ReadResult why;
    ASSERT_TRUE((why = read.ReadFromMemory(file.data(), file.size())).ok())
        << n << ": " << why.Reason();

    Bytes first;
    EXPECT_EQ(roundtrip::Problem(read, first), "") << "model " << n;
    if (IsUsualLayout(desc)) {
      ++usual;
      EXPECT_TRUE(first == file) << "model " << n
                                 << " in the usual layout: " << FirstDifference(first, file);
    }
  }
  EXPECT_GT(usual, 50);
}

// Files the reader takes although no tool would write them so; each
// re-saves as the same model.
TEST(LgmdWriter, OddFilesReSaveAsTheSameModel) {
  struct Case {
    const char* what;
    void (*change)(ModelDesc&);
  };
  const Case cases[] = {
      {"version 3, materials counted but absent",
       [](ModelDesc& d) {
         d.version = 3;
         d.materials.clear();
         d.materialCount = 3;
         for (BuilderPolygon& p : d.polygons) {
           p.materialId = 255;
           p.texIdx.clear();
         }
       }},
      {"a partial texture-coordinate record",
       [](ModelDesc& d) {
         auto table = lgmd::SectionTable(d);
         d.trailer.assign(4, 0xAB);
         d.sectionTable = table;
         // The coordinates end 4 bytes into the vertices.
         (*d.sectionTable)[3] += 4;
       }},
      {"two objects linking one child",
       [](ModelDesc& d) {
         BuilderObject third;
         third.childLink = 2;
         third.rangeFirst = 40;
         third.rangeLength = 5;
         d.objects.push_back(third);
       }},
      {"the root record outside the file",
       [](ModelDesc& d) {
         d.objects.resize(1);
         for (BuilderPolygon& p : d.polygons) p.auxIdx.clear();
         auto table = lgmd::SectionTable(d);
         table[0] = 1 << 20;
         d.sectionTable = table;
       }},
  };
  for (const Case& c : cases) {
    ModelDesc desc = lgmd::FullModel();
    c.change(desc);
    const Bytes file = lgmd::Build(desc);
    CModel read;
    ReadResult why;
    ASSERT_TRUE((why = read.ReadFromMemory(file.data(), file.size())).ok())
        << c.what << ": " << why.Reason();
    EXPECT_EQ(roundtrip::Problem(read), "") << c.what;
  }
}

// A version-4 file may end without the pad byte of its last polygon
// record; the re-save completes the record and reads the same.
TEST(LgmdWriter, FileEndingInsideItsLastRecordReSavesTheSameModel) {
  Bytes file = lgmd::Build(lgmd::FullModel());
  file.pop_back();
  CModel read;
  ReadResult why;
  ASSERT_TRUE((why = read.ReadFromMemory(file.data(), file.size())).ok()) << why.Reason();
  Bytes written;
  EXPECT_EQ(roundtrip::Problem(read, written), "");
  EXPECT_EQ(written.size(), file.size() + 1);
}

// A model made in code has no kept bytes: its positions are written as they
// are, a polygon with no normal entry adds its normal to the table, and the
// root record is made up.
TEST(LgmdWriter, ModelMadeInCodeReadsBackAsMade) {
  ModelContent content;
  content.m_nVersion = 4;
  content.m_strName = "box";
  Material paint;
  paint.strName = "paint";
  paint.nKind = kColourKind;
  paint.nId = 9;
  paint.fColor[0] = static_cast<float>(200 * kByteToUnit);
  content.m_vecMaterials = {paint};
  for (float x : {0.0f, 1.0f, 2.0f})
    content.m_vecVertices.push_back(Vertex{x, x * 2, 3, 0, 0, 0, 0});
  Polygon p;
  p.nVerts = 3;
  p.vecVertIdx = content.m_indexPool.Add({0, 1, 2});
  p.vecAuxIdx = content.m_indexPool.Add({0, 0, 0});
  p.vecTexIdx = content.m_indexPool.Add({0, 0, 0});
  p.nMaterialId = 9;
  p.byFlags = 0x40;
  p.nNormalIndex = -1;
  p.dNormal[2] = 1.0;
  content.m_vecPolygons.push_back(p);
  CModel made;
  made.Assign(std::move(content));

  Bytes bytes;
  ASSERT_TRUE(WriteLgmd(made, bytes).ok());
  CModel read;
  ASSERT_TRUE(read.ReadFromMemory(bytes.data(), bytes.size()).ok());
  EXPECT_EQ(read.Name(), "box");
  ASSERT_EQ(read.Polygons().size(), 1u);
  EXPECT_EQ(read.Polygons()[0].pMaterial, &read.Materials()[0]);
  EXPECT_EQ(read.Polygons()[0].dNormal[2], 1.0);
  EXPECT_EQ(read.Vertices()[2].y, 4.0f);
  EXPECT_EQ(read.Materials()[0].fColor[0], paint.fColor[0]);
}

TEST(LgmdWriter, RefusesWhatTheFileCannotHold) {
  const Bytes full = lgmd::Build(lgmd::FullModel());
  struct Case {
    const char* what;
    void (*change)(ModelContent&);
    LgmdWriteError error;
  };
  const Case cases[] = {
      {"model name of 9 bytes", [](ModelContent& m) { m.m_strName = "ninebytes"; },
       LgmdWriteError::NameTooLong},
      {"material name of 17 bytes",
       [](ModelContent& m) { m.m_vecMaterials[0].strName = std::string(17, 'm'); },
       LgmdWriteError::NameTooLong},
      {"material id 256", [](ModelContent& m) { m.m_vecMaterials[1].nId = 256; },
       LgmdWriteError::OutOfRange},
      {"texture number 300", [](ModelContent& m) { m.m_vecMaterials[0].nTexNumber = 300; },
       LgmdWriteError::OutOfRange},
      {"vertex index past the vertices",
       [](ModelContent& m) {
         m.m_vecPolygons[0].vecVertIdx = m.m_indexPool.Add({0, 1, 2, 8});
       },
       LgmdWriteError::OutOfRange},
      {"texture index past the coordinates",
       [](ModelContent& m) {
         m.m_vecPolygons[0].vecTexIdx = m.m_indexPool.Add({0, 1, 2, 4});
       },
       LgmdWriteError::OutOfRange},
      {"two children of one parent",
       [](ModelContent& m) {
         m.m_vecSubObjects.resize(3);
         m.m_vecSubObjects[2].nParent = 0;
       },
       LgmdWriteError::BadHierarchy},
      {"a parent chain that comes back", [](ModelContent& m) { m.m_vecSubObjects[0].nParent = 1; },
       LgmdWriteError::BadHierarchy},
      {"256 sub-objects", [](ModelContent& m) { m.m_vecSubObjects.resize(256); },
       LgmdWriteError::TooMany},
      {"range of 40000", [](ModelContent& m) { m.m_vecSubObjects[0].nLast = 40000; },
       LgmdWriteError::OutOfRange},
  };
  for (const Case& c : cases) {
    CModel model;
    ASSERT_TRUE(model.ReadFromMemory(full.data(), full.size()).ok());
    EditContent(model, c.change);
    Bytes bytes = {1, 2, 3};
    const LgmdWriteResult result = WriteLgmd(model, bytes);
    EXPECT_EQ(result.error, c.error) << c.what << ": " << result.reason;
    EXPECT_FALSE(result.reason.empty()) << c.what;
    EXPECT_TRUE(bytes.empty()) << c.what;
  }
}

}  // namespace
