// The LGMD reader. The whole file is read into memory once and parsed
// through a bounds-checked cursor into a fresh model; only a model that
// parsed completely replaces the current one, so a refused file leaves the
// model that was open before exactly as it was.
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "model/byte_cursor.h"
#include "model/file_bytes.h"
#include "model/lgmd_magic.h"
#include "model/model.h"
#include "model/read_result.h"

namespace {

constexpr std::size_t kModelNameWidth = 8;
constexpr std::size_t kHeaderUnusedAfterName = 44;
constexpr int kSectionCount = 10;

// Section table entries.
constexpr int kObjectsStart = 0;
constexpr int kMaterialsStart = 1;
constexpr int kTexCoordsStart = 2;  // also the end of the materials
constexpr int kTexCoordsEnd = 3;
constexpr int kVerticesStart = 4;
constexpr int kNormalsStart = 6;
constexpr int kPolygonsStart = 7;  // also the end of the normals

constexpr std::size_t kMaterialNameWidth = 16;
constexpr std::size_t kMaterialUnusedTail = 5;
constexpr std::size_t kTexCoordSize = 8;
constexpr std::size_t kVertexSize = 12;
constexpr std::size_t kNormalSize = 12;

// A polygon record is at least 12 bytes; the last one in the file needs
// only its first 8, because what follows the normal index is skipped.
constexpr std::size_t kPolygonMinSize = 12;
constexpr std::size_t kLastPolygonMinSize = 8;
constexpr int kNoMaterialId = 255;
constexpr std::uint8_t kColourMaterialFlag = 0x40;
// Version 4 ends every polygon record with one byte nobody uses.
constexpr int kVersionWithPolygonPad = 4;
// Version 3 numbers its textures by material position, not by blue byte.
constexpr int kVersionNumberingTexturesByPosition = 3;

constexpr std::int64_t kObjectRecordSize = 93;
constexpr std::size_t kObjectLeadSkip = 8 + 5 + 4 + 4;  // name and unused fields
constexpr std::size_t kObjectMiddleSkip = 10;
constexpr std::size_t kObjectTailSkip = 8;
constexpr int kNoChild = -1;

bool IsTransparentTextureName(const std::string& name) {
  return name.size() >= 2 && (name[0] == 't' || name[0] == 'T') && name[1] == '_';
}

// Parses one LGMD buffer into `model`, a freshly constructed CModel. Every
// step returns false when the file is refused, with the reason in the
// result; the caller then discards the half-filled model.
class LgmdParser {
 public:
  LgmdParser(const std::uint8_t* data, std::size_t size, CModel& model, ReadResult& result)
      : m_cur(data, size), m_model(model), m_result(result) {}

  bool Parse() {
    if (!ReadHeader() || !ReadMaterials() || !ReadTexCoords() || !ReadVertices() ||
        !ReadNormals() || !ReadPolygons()) {
      return false;
    }
    AverageVertexNormals();
    return ReadSubObjects() && ParentChainsEnd();
  }

 private:
  std::int64_t Entry(int i) const { return m_model.m_vecSectionOffsets[i]; }

  // The reasons a file is refused; each returns false for the caller.
  bool Fail(ReadError error, std::string what) {
    m_result.error = error;
    m_result.what = std::move(what);
    return false;
  }
  // A read past the end: the file ends inside the section being read.
  bool Truncated() {
    m_result.offset = static_cast<std::int64_t>(m_cur.Size());
    return Fail(ReadError::TooShort, m_strSection);
  }
  bool BadCount(const char* what, std::int64_t value) {
    m_result.value = value;
    return Fail(ReadError::CountOutOfRange, what);
  }
  bool Outside(std::int64_t offset) {
    m_result.offset = offset;
    return Fail(ReadError::SectionOutside, m_strSection);
  }
  bool BadIndex(const char* record, int index, const char* what, std::int64_t value,
                std::size_t limit) {
    m_result.record = record;
    m_result.index = index;
    m_result.value = value;
    m_result.limit = static_cast<std::int64_t>(limit);
    return Fail(ReadError::IndexOutOfRange, what);
  }

  bool ReadHeader() {
    m_strSection = "the header";
    char magic[4];
    if (!m_cur.ReadBytes(magic, sizeof magic) ||
        std::memcmp(magic, kLgmdMagic, sizeof magic) != 0) {
      return Fail(ReadError::BadMagic, "");
    }
    std::int32_t version = 0;
    if (!m_cur.ReadI32(version) || !m_cur.ReadName(kModelNameWidth, m_model.m_strName)) {
      return Truncated();
    }
    m_model.m_nVersion = version;
    m_cur.Skip(kHeaderUnusedAfterName);

    std::int16_t polygons = 0, vertices = 0;
    std::uint8_t materials = 0, objects = 0;
    if (!m_cur.ReadI16(polygons) || !m_cur.ReadI16(vertices)) return Truncated();
    m_cur.Skip(2);
    if (!m_cur.ReadU8(materials)) return Truncated();
    m_cur.Skip(2);
    if (!m_cur.ReadU8(objects)) return Truncated();
    // Negative counts and a file without its root object describe no model.
    if (polygons < 0) return BadCount("polygon count", polygons);
    if (vertices < 0) return BadCount("vertex count", vertices);
    if (objects == 0) {
      m_result.detail = "a model needs its root object";
      return BadCount("object count", objects);
    }
    m_model.m_nPolygons = polygons;
    m_model.m_nVertices = vertices;
    m_model.m_nMaterials = materials;
    m_model.m_nSubObjects = objects - 1;

    m_model.m_vecSectionOffsets.resize(kSectionCount);
    for (int& offset : m_model.m_vecSectionOffsets) {
      std::int32_t value = 0;
      if (!m_cur.ReadI32(value)) return Truncated();
      offset = value;
    }
    // A section that ends before it starts has no meaningful length.
    if (Entry(kTexCoordsStart) < Entry(kMaterialsStart)) {
      return Fail(ReadError::BadSectionTable, "the material section");
    }
    if (Entry(kTexCoordsEnd) < Entry(kTexCoordsStart)) {
      return Fail(ReadError::BadSectionTable, "the texture-coordinate section");
    }
    if (Entry(kPolygonsStart) < Entry(kNormalsStart)) {
      return Fail(ReadError::BadSectionTable, "the normal section");
    }
    return true;
  }

  // Materials counted in the header but absent from the file keep the
  // record defaults: empty name, kind 0, id 0, black, opaque, texture 0.
  bool ReadMaterials() {
    m_strSection = "the material section";
    m_model.m_vecMaterials.resize(m_model.m_nMaterials);
    if (Entry(kTexCoordsStart) == Entry(kMaterialsStart) || m_model.m_nMaterials == 0) {
      return true;
    }
    if (!m_cur.Seek(Entry(kMaterialsStart))) return Outside(Entry(kMaterialsStart));
    for (int j = 0; j < m_model.m_nMaterials; ++j) {
      if (!ReadMaterial(j, m_model.m_vecMaterials[j])) return Truncated();
    }
    return true;
  }

  bool ReadMaterial(int j, Material& material) {
    std::uint8_t kind = 0, id = 0, blue = 0, green = 0, red = 0;
    if (!m_cur.ReadName(kMaterialNameWidth, material.strName) || !m_cur.ReadU8(kind) ||
        !m_cur.ReadU8(id) || !m_cur.ReadU8(blue) || !m_cur.ReadU8(green) || !m_cur.ReadU8(red)) {
      return false;
    }
    m_cur.Skip(kMaterialUnusedTail);
    material.nKind = kind;
    material.nId = id;
    material.nTexIndex = -1;
    material.fColor[0] = static_cast<float>(red * kByteToUnit);
    material.fColor[1] = static_cast<float>(green * kByteToUnit);
    material.fColor[2] = static_cast<float>(blue * kByteToUnit);
    material.fColor[3] = 1.0f;
    if (kind != kTexturedKind) {
      material.nTexNumber = 0;
      return true;
    }
    const bool byPosition = m_model.m_nVersion == kVersionNumberingTexturesByPosition;
    material.nTexNumber = byPosition ? j : blue;
    if (IsTransparentTextureName(material.strName)) material.fColor[3] = 0.0f;
    return true;
  }

  // Seeks to the start of a section of `count` records of `recordSize`
  // bytes, refusing the file when they do not all fit.
  bool SeekToRecords(std::int64_t offset, std::size_t count, std::size_t recordSize) {
    if (!m_cur.Seek(offset)) return Outside(offset);
    if (count > m_cur.Remaining() / recordSize) return Truncated();
    return true;
  }

  bool ReadTexCoords() {
    m_strSection = "the texture-coordinate section";
    const std::int64_t start = Entry(kTexCoordsStart);
    const std::int64_t length = Entry(kTexCoordsEnd) - start;
    const auto count = static_cast<std::size_t>(length / static_cast<std::int64_t>(kTexCoordSize));
    if (count == 0) return true;
    if (!SeekToRecords(start, count, kTexCoordSize)) return false;
    m_model.m_vecTexCoords.resize(count);
    for (TexCoord& tc : m_model.m_vecTexCoords) {
      m_cur.ReadF32(tc.u);
      m_cur.ReadF32(tc.v);
    }
    return true;
  }

  // The bounding box is that of the positions as stored, before placement.
  bool ReadVertices() {
    m_strSection = "the vertex section";
    const auto count = static_cast<std::size_t>(m_model.m_nVertices);
    if (count == 0) return true;
    if (!SeekToRecords(Entry(kVerticesStart), count, kVertexSize)) return false;
    m_model.m_vecVertices.resize(count);
    Vertex& lo = m_model.m_ptMin;
    Vertex& hi = m_model.m_ptMax;
    for (Vertex& v : m_model.m_vecVertices) {
      m_cur.ReadF32(v.x);
      m_cur.ReadF32(v.y);
      m_cur.ReadF32(v.z);
      if (v.x > hi.x) hi.x = v.x;
      if (v.x < lo.x) lo.x = v.x;
      if (v.y > hi.y) hi.y = v.y;
      if (v.y < lo.y) lo.y = v.y;
      if (v.z > hi.z) hi.z = v.z;
      if (v.z < lo.z) lo.z = v.z;
    }
    return true;
  }

  bool ReadNormals() {
    m_strSection = "the normal section";
    const std::int64_t start = Entry(kNormalsStart);
    const auto count = static_cast<std::size_t>((Entry(kPolygonsStart) - start) /
                                                static_cast<std::int64_t>(kNormalSize));
    if (count == 0) return true;
    if (!SeekToRecords(start, count, kNormalSize)) return false;
    m_model.m_vecNormals.resize(count);
    for (Vertex& n : m_model.m_vecNormals) {
      m_cur.ReadF32(n.x);
      m_cur.ReadF32(n.y);
      m_cur.ReadF32(n.z);
    }
    return true;
  }

  bool ReadPolygons() {
    m_strSection = "the polygon section";
    const auto count = static_cast<std::size_t>(m_model.m_nPolygons);
    if (count == 0) return true;
    if (!m_cur.Seek(Entry(kPolygonsStart))) return Outside(Entry(kPolygonsStart));
    const std::size_t needed = (count - 1) * kPolygonMinSize + kLastPolygonMinSize;
    if (needed > m_cur.Remaining()) return Truncated();
    m_model.m_vecPolygons.resize(count);
    for (std::size_t k = 0; k < count; ++k) {
      if (!ReadPolygon(static_cast<int>(k), m_model.m_vecPolygons[k])) return false;
    }
    return true;
  }

  bool ReadIndices(std::vector<int>& indices) {
    for (int& index : indices) {
      std::int16_t value = 0;
      if (!m_cur.ReadI16(value)) return false;
      index = value;
    }
    return true;
  }

  // The first index of `indices` outside 0 .. limit - 1, or -1 when all lie
  // within.
  static int FirstOutside(const std::vector<int>& indices, std::size_t limit) {
    for (std::size_t c = 0; c < indices.size(); ++c) {
      if (indices[c] < 0 || static_cast<std::size_t>(indices[c]) >= limit)
        return static_cast<int>(c);
    }
    return -1;
  }

  bool CheckIndices(int k, const std::vector<int>& indices, const char* what, std::size_t limit) {
    const int bad = FirstOutside(indices, limit);
    return bad < 0 || BadIndex("polygon", k, what, indices[bad], limit);
  }

  bool ReadPolygon(int k, Polygon& polygon) {
    std::int16_t materialId = 0, normalIndex = 0;
    std::uint8_t corners = 0;
    m_cur.Skip(2);
    if (!m_cur.ReadI16(materialId) || !m_cur.ReadU8(polygon.byFlags) || !m_cur.ReadU8(corners) ||
        !m_cur.ReadI16(normalIndex)) {
      return Truncated();
    }
    m_cur.Skip(4);
    polygon.nMaterialId = materialId;
    polygon.nVerts = corners;
    polygon.vecVertIdx.assign(corners, 0);
    polygon.vecTexIdx.assign(corners, 0);
    polygon.vecAuxIdx.assign(corners, 0);

    if (normalIndex < 0 || static_cast<std::size_t>(normalIndex) >= m_model.m_vecNormals.size()) {
      return BadIndex("polygon", k, "normal index", normalIndex, m_model.m_vecNormals.size());
    }
    const Vertex& normal = m_model.m_vecNormals[normalIndex];
    polygon.dNormal[0] = normal.x;
    polygon.dNormal[1] = normal.y;
    polygon.dNormal[2] = normal.z;

    if (!ReadIndices(polygon.vecVertIdx)) return Truncated();
    if (!CheckIndices(k, polygon.vecVertIdx, "vertex index", m_model.m_vecVertices.size())) {
      return false;
    }
    AddFaceNormal(polygon);
    if (!ReadIndices(polygon.vecAuxIdx)) return Truncated();

    polygon.pMaterial = MatchMaterial(polygon);
    const bool textured = polygon.pMaterial != nullptr && polygon.pMaterial->nKind == kTexturedKind;
    if (textured && corners != 0) {
      if (!ReadIndices(polygon.vecTexIdx)) return Truncated();
      if (!CheckIndices(k, polygon.vecTexIdx, "texture-coordinate index",
                        m_model.m_vecTexCoords.size())) {
        return false;
      }
    }
    if (m_model.m_nVersion == kVersionWithPolygonPad) m_cur.Skip(1);
    return true;
  }

  // Every corner adds the face normal to its vertex, so a vertex used twice
  // by one polygon counts twice.
  void AddFaceNormal(const Polygon& polygon) {
    for (int index : polygon.vecVertIdx) {
      Vertex& v = m_model.m_vecVertices[index];
      v.nx = static_cast<float>(static_cast<double>(v.nx) + polygon.dNormal[0]);
      v.ny = static_cast<float>(static_cast<double>(v.ny) + polygon.dNormal[1]);
      v.nz = static_cast<float>(static_cast<double>(v.nz) + polygon.dNormal[2]);
      ++v.nCount;
    }
  }

  // The first material with the polygon's id and the kind its flags ask
  // for; a material with the right id but the other kind is passed over.
  Material* MatchMaterial(const Polygon& polygon) {
    if (polygon.nMaterialId == kNoMaterialId) return nullptr;
    const int kind = (polygon.byFlags & kColourMaterialFlag) ? kColourKind : kTexturedKind;
    for (Material& material : m_model.m_vecMaterials) {
      if (material.nId == polygon.nMaterialId && material.nKind == kind) return &material;
    }
    return nullptr;
  }

  // The plain average of the face normals, not re-normalised. A vertex no
  // polygon uses keeps a zero normal rather than 0/0.
  void AverageVertexNormals() {
    for (Vertex& v : m_model.m_vecVertices) {
      if (v.nCount == 0) continue;
      const auto count = static_cast<float>(v.nCount);
      v.nx /= count;
      v.ny /= count;
      v.nz /= count;
    }
  }

  bool ReadSubObjects() {
    m_strSection = "the object section";
    const int count = m_model.m_nSubObjects;
    m_model.m_nCurSubObject = 0;
    if (count == 0) return true;
    // Object record 0 is the root, whose frame is model space; it is not kept.
    const std::int64_t first = Entry(kObjectsStart) + kObjectRecordSize;
    if (!m_cur.Seek(first)) return Outside(first);
    m_model.m_vecSubObjects.resize(count);
    for (SubObject& object : m_model.m_vecSubObjects) object.nParent = -1;
    for (int i = 0; i < count; ++i) {
      if (!ReadSubObject(i)) return false;
    }
    return true;
  }

  // The file links parent to child; the link may name an object before or
  // after this one, so every nParent starts at -1 before the loop.
  bool ReadSubObject(int i) {
    SubObject& object = m_model.m_vecSubObjects[i];
    m_cur.Skip(kObjectLeadSkip);
    for (float& value : object.fMatrix) {
      if (!m_cur.ReadF32(value)) return Truncated();
    }
    std::int16_t child = 0, first = 0, length = 0;
    if (!m_cur.ReadI16(child)) return Truncated();
    if (child != kNoChild) {
      // Links count the objects from 1, the root being 0.
      if (child < 1 || child > m_model.m_nSubObjects) {
        return BadIndex("sub-object", i, "child link", child,
                        static_cast<std::size_t>(m_model.m_nSubObjects) + 1);
      }
      m_model.m_vecSubObjects[child - 1].nParent = i;
    }
    m_cur.Skip(kObjectMiddleSkip);
    if (!m_cur.ReadI16(first) || !m_cur.ReadI16(length)) return Truncated();
    object.nFirst = first;
    object.nLast = first + length - 1;
    m_cur.Skip(kObjectTailSkip);
    return true;
  }

  // Placement follows nParent up to the root; a chain that comes back to an
  // object already on it would never end, so such a file is refused.
  bool ParentChainsEnd() {
    const auto& objects = m_model.m_vecSubObjects;
    const int count = static_cast<int>(objects.size());
    for (int start = 0; start < count; ++start) {
      int index = start;
      int steps = 0;
      while (index != -1) {
        if (++steps > count) {
          m_result.index = start;
          return Fail(ReadError::SubObjectCycle, "");
        }
        index = objects[index].nParent;
      }
    }
    return true;
  }

  ByteCursor m_cur;
  CModel& m_model;
  ReadResult& m_result;
  std::string m_strSection;  // where the cursor is, for the reason of a refusal
};

// Takes over everything a model file supplies; the palette, textures,
// default colour and polygon mode stay with their own steps. Moving the
// material array keeps its elements where they are, so the polygons'
// material references stay valid.
void TakeFileContent(CModel& from, CModel& to) {
  to.m_strName = std::move(from.m_strName);
  to.m_nVersion = from.m_nVersion;
  to.m_nPolygons = from.m_nPolygons;
  to.m_nVertices = from.m_nVertices;
  to.m_nMaterials = from.m_nMaterials;
  to.m_nSubObjects = from.m_nSubObjects;
  to.m_vecSectionOffsets = std::move(from.m_vecSectionOffsets);
  to.m_vecMaterials = std::move(from.m_vecMaterials);
  to.m_vecVertices = std::move(from.m_vecVertices);
  to.m_vecNormals = std::move(from.m_vecNormals);
  to.m_vecPolygons = std::move(from.m_vecPolygons);
  to.m_vecTexCoords = std::move(from.m_vecTexCoords);
  to.m_vecSubObjects = std::move(from.m_vecSubObjects);
  to.m_ptMin = from.m_ptMin;
  to.m_ptMax = from.m_ptMax;
  to.m_nCurSubObject = from.m_nCurSubObject;
}

}  // namespace

int CModel::Read(const std::string& path) {
  ReadResult result;
  return Read(path, result);
}

int CModel::Read(const std::string& path, ReadResult& result) {
  result = ReadResult();
  std::vector<std::uint8_t> bytes;
  std::string error;
  try {
    if (!filebytes::ReadFileBytes(path, bytes, error)) {
      result.error = ReadError::CannotOpen;
      result.detail = error;
      return -1;
    }
  } catch (const std::bad_alloc&) {
    result.error = ReadError::OutOfMemory;
    return -1;
  }
  return ReadFromMemory(bytes.data(), bytes.size(), result);
}

int CModel::ReadFromMemory(const std::uint8_t* data, std::size_t size) {
  ReadResult result;
  return ReadFromMemory(data, size, result);
}

int CModel::ReadFromMemory(const std::uint8_t* data, std::size_t size, ReadResult& result) {
  result = ReadResult();
  if (data == nullptr) size = 0;
  static const std::uint8_t kEmpty = 0;
  try {
    CModel fresh;
    LgmdParser parser(data != nullptr ? data : &kEmpty, size, fresh, result);
    if (!parser.Parse()) return -1;
    fresh.PlaceSubObjects();
    TakeFileContent(fresh, *this);
  } catch (const std::bad_alloc&) {
    // The counts are checked against the file before anything is sized, so
    // only a machine short of memory gets here; the open model stays.
    result = ReadResult();
    result.error = ReadError::OutOfMemory;
    return -1;
  }
  return 0;
}
