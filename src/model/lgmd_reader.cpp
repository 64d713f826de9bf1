// The LGMD reader. Each section is taken into memory as a whole and parsed
// through a bounds-checked cursor into a fresh model; only a model that
// parsed completely replaces the current one, so a refused file leaves the
// model that was open before exactly as it was.
//
// From a file, only the bytes the section table reaches are read, one
// section at a time, and the magic is looked at before anything else: a
// huge file costs what its sections hold, and a file that is no model at
// all costs its first bytes.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "io/byte_cursor.h"
#include "io/file_bytes.h"
#include "io/lgmd_magic.h"
#include "model/model.h"
#include "model/read_result.h"

namespace {

constexpr std::size_t kHeaderSize = 110;
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

constexpr std::size_t kMaterialSize = 26;
constexpr std::size_t kMaterialNameWidth = 16;
constexpr std::size_t kMaterialUnusedTail = 5;
constexpr std::size_t kTexCoordSize = 8;
constexpr std::size_t kVertexSize = 12;
constexpr std::size_t kNormalSize = 12;

// Polygons and corners index these sections with signed 16-bit values, so
// no record past the first 32768 can ever be used; the rest of a longer
// section is counted against the file's size but not kept.
constexpr std::size_t kIndexReach = 32768;

// A polygon record is at least 12 bytes; the last one in the file needs
// only its first 8, because what follows the normal index is skipped. The
// longest has 255 corners with three indices each, and the version-4 pad.
constexpr std::size_t kPolygonMinSize = 12;
constexpr std::size_t kLastPolygonMinSize = 8;
constexpr std::size_t kPolygonHeadSize = 8;  // unused, id, flags, corners, normal
constexpr std::size_t kPolygonHeadSkip = 4;
constexpr std::size_t kPolygonMaxSize = kPolygonMinSize + 3 * 2 * 255 + 1;
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

// The file buffer a model keeps between reads, at most: the largest model
// the format can describe with four-cornered polygons is about 2 MiB.
constexpr std::size_t kKeptBufferSize = std::size_t{4} << 20;

bool IsTransparentTextureName(const std::string& name) {
  return name.size() >= 2 && (name[0] == 't' || name[0] == 'T') && name[1] == '_';
}

// Where the parser's bytes come from. Sections are parsed one after the
// other, and a section's cursor is only used until the next one is opened,
// so a source may reuse one buffer for every section.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // The size of the whole input.
  virtual std::uint64_t Size() const = 0;
  // Points cursor at the bytes from offset (at most Size()) on, at most
  // length of them: fewer where the input ends. False, with the reason in
  // result, when they cannot be read.
  virtual bool Window(std::uint64_t offset, std::size_t length, ByteCursor& cursor,
                      ReadResult& result) = 0;
};

// A whole file already in memory.
class MemorySource : public ByteSource {
 public:
  MemorySource(const std::uint8_t* data, std::size_t size) : m_pData(data), m_nSize(size) {}
  std::uint64_t Size() const override { return m_nSize; }
  bool Window(std::uint64_t offset, std::size_t length, ByteCursor& cursor,
              ReadResult& /*result*/) override {
    const std::size_t start = static_cast<std::size_t>(offset);
    cursor = ByteCursor(m_pData + start, std::min(length, m_nSize - start));
    return true;
  }

 private:
  const std::uint8_t* m_pData;
  std::size_t m_nSize;
};

}  // namespace

// What a CModel keeps between reads (see CModel::m_pReadScratch).
struct ReadScratch {
  CModel model;  // the content the last read replaced, refilled by the next
  largemem::Block<std::uint8_t> pBuffer;  // the file's sections are read into it
  std::size_t nCapacity = 0;
};

void ReadScratchDeleter::operator()(ReadScratch* scratch) const { delete scratch; }

namespace {

// A file read section by section into one buffer that grows to the largest
// section. Every length asked for is bounded by the format's counts, so the
// buffer never exceeds the largest section a model can have.
class FileSource : public ByteSource {
 public:
  FileSource(const filebytes::CInputFile& file, ReadScratch& scratch)
      : m_file(file), m_scratch(scratch) {}
  std::uint64_t Size() const override { return m_file.Size(); }
  bool Window(std::uint64_t offset, std::size_t length, ByteCursor& cursor,
              ReadResult& result) override {
    length = static_cast<std::size_t>(std::min<std::uint64_t>(length, Size() - offset));
    if (length > m_scratch.nCapacity) {
      m_scratch.pBuffer.Reset();
      m_scratch.nCapacity = 0;
      m_scratch.pBuffer = largemem::Block<std::uint8_t>(length);
      m_scratch.nCapacity = length;
    }
    std::size_t got = 0;
    if (length > 0 && !m_file.ReadAt(offset, m_scratch.pBuffer.get(), length, got, result.detail)) {
      result.error = ReadError::CannotOpen;
      return false;
    }
    static const std::uint8_t kNothing = 0;
    cursor = ByteCursor(got > 0 ? m_scratch.pBuffer.get() : &kNothing, got);
    return true;
  }

 private:
  const filebytes::CInputFile& m_file;
  ReadScratch& m_scratch;
};

// Parses one LGMD input into `model`, emptied by ClearFileContent. Every
// step returns false when the file is refused, with the reason in the
// result; the caller then discards the half-filled model.
class LgmdParser {
 public:
  LgmdParser(ByteSource& source, CModel& model, ReadResult& result)
      : m_source(source), m_cur(nullptr, 0), m_model(model), m_result(result) {}

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
  std::uint64_t Size() const { return m_source.Size(); }
  // Bytes from offset to the end of the input; offset lies within it.
  std::uint64_t Left(std::int64_t offset) const {
    return Size() - static_cast<std::uint64_t>(offset);
  }

  // The reasons a file is refused; each returns false for the caller.
  bool Fail(ReadError error, std::string what) {
    m_result.error = error;
    m_result.what = std::move(what);
    return false;
  }
  // A read past the end: the file ends inside the section being read.
  bool Truncated() {
    m_result.offset = static_cast<std::int64_t>(Size());
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

  // Points the cursor at a section of at most `length` bytes from `start`;
  // the end of the file itself is a valid start.
  bool OpenSection(std::int64_t start, std::uint64_t length) {
    if (start < 0 || static_cast<std::uint64_t>(start) > Size()) return Outside(start);
    const std::uint64_t bounded = std::min(length, Left(start));
    return m_source.Window(static_cast<std::uint64_t>(start), static_cast<std::size_t>(bounded),
                           m_cur, m_result);
  }

  // Opens a section of `count` records of `recordSize` bytes, refusing the
  // file when they do not all fit; only the first `keep` are taken in.
  bool OpenRecords(std::int64_t start, std::size_t count, std::size_t recordSize,
                   std::size_t keep) {
    if (start < 0 || static_cast<std::uint64_t>(start) > Size()) return Outside(start);
    if (count > Left(start) / recordSize) return Truncated();
    return OpenSection(start, static_cast<std::uint64_t>(keep) * recordSize);
  }

  bool ReadHeader() {
    m_strSection = "the header";
    if (!OpenSection(0, kHeaderSize)) return false;
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
    if (Entry(kTexCoordsStart) != Entry(kMaterialsStart) && m_model.m_nMaterials != 0) {
      const std::uint64_t length = std::uint64_t{kMaterialSize} * m_model.m_nMaterials;
      if (!OpenSection(Entry(kMaterialsStart), length)) return false;
      for (int j = 0; j < m_model.m_nMaterials; ++j) {
        if (!ReadMaterial(j, m_model.m_vecMaterials[j])) return Truncated();
      }
    }
    IndexMaterials();
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

  // A polygon takes the first material, in index order, with its id and the
  // kind its flags ask for. Ids are bytes and only kinds 0 and 1 ever
  // match, so one table of 2 x 256 answers every polygon at once; filling
  // it from the last material to the first leaves the first one in place.
  void IndexMaterials() {
    for (auto& byId : m_materialByKindAndId) byId.fill(nullptr);
    auto& materials = m_model.m_vecMaterials;
    for (auto it = materials.rbegin(); it != materials.rend(); ++it) {
      if (it->nKind != kTexturedKind && it->nKind != kColourKind) continue;
      if (it->nId < 0 || it->nId > 255) continue;
      m_materialByKindAndId[static_cast<std::size_t>(it->nKind)]
                           [static_cast<std::size_t>(it->nId)] = &*it;
    }
  }

  Material* MatchMaterial(int materialId, std::uint8_t flags) const {
    if (materialId == kNoMaterialId || materialId < 0 || materialId > 255) return nullptr;
    const int kind = (flags & kColourMaterialFlag) ? kColourKind : kTexturedKind;
    return m_materialByKindAndId[static_cast<std::size_t>(kind)]
                                [static_cast<std::size_t>(materialId)];
  }

  bool ReadTexCoords() {
    m_strSection = "the texture-coordinate section";
    const std::int64_t start = Entry(kTexCoordsStart);
    const std::int64_t length = Entry(kTexCoordsEnd) - start;
    const auto count = static_cast<std::size_t>(length / static_cast<std::int64_t>(kTexCoordSize));
    if (count == 0) return true;
    const std::size_t keep = std::min(count, kIndexReach);
    if (!OpenRecords(start, count, kTexCoordSize, keep)) return false;
    m_model.m_vecTexCoords.resize(keep);
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
    if (!OpenRecords(Entry(kVerticesStart), count, kVertexSize, count)) return false;
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
    const std::size_t keep = std::min(count, kIndexReach);
    if (!OpenRecords(start, count, kNormalSize, keep)) return false;
    m_model.m_vecNormals.resize(keep);
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
    const std::int64_t start = Entry(kPolygonsStart);
    if (start < 0 || static_cast<std::uint64_t>(start) > Size()) return Outside(start);
    const std::size_t needed = (count - 1) * kPolygonMinSize + kLastPolygonMinSize;
    if (needed > Left(start)) return Truncated();
    // Records have no fixed length, but none is longer than the longest a
    // polygon can have: that much is enough whatever follows the section.
    if (!OpenSection(start, std::uint64_t{count} * kPolygonMaxSize)) return false;
    m_model.m_vecPolygons.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
      if (!ReadPolygon(static_cast<int>(k), m_model.m_vecPolygons.emplace_back())) return false;
    }
    return true;
  }

  // The record is checked a field group at a time and then decoded from the
  // bytes in one go: the vertex indices (each checked, each adding the face
  // normal to its vertex), the second indices, and for a textured polygon
  // the texture-coordinate indices. A vertex used twice by one polygon
  // counts twice. The indices go straight into the model's pool.
  bool ReadPolygon(int k, Polygon& polygon) {
    const std::uint8_t* head = m_cur.Take(kPolygonHeadSize);
    if (head == nullptr) return Truncated();
    polygon.nMaterialId = LittleI16(head + 2);
    polygon.byFlags = head[4];
    const std::size_t corners = head[5];
    polygon.nVerts = static_cast<int>(corners);
    const int normalIndex = LittleI16(head + 6);
    m_cur.Skip(kPolygonHeadSkip);

    const auto& normals = m_model.m_vecNormals;
    if (normalIndex < 0 || static_cast<std::size_t>(normalIndex) >= normals.size()) {
      return BadIndex("polygon", k, "normal index", normalIndex, normals.size());
    }
    const Vertex& normal = normals[static_cast<std::size_t>(normalIndex)];
    polygon.dNormal[0] = normal.x;
    polygon.dNormal[1] = normal.y;
    polygon.dNormal[2] = normal.z;

    int* vertIdx = m_model.m_indexPool.Allocate(3 * corners);
    int* auxIdx = vertIdx + corners;
    int* texIdx = auxIdx + corners;
    polygon.vecVertIdx = IndexSpan(vertIdx, corners);
    polygon.vecAuxIdx = IndexSpan(auxIdx, corners);
    polygon.vecTexIdx = IndexSpan(texIdx, corners);

    const std::uint8_t* bytes = m_cur.Take(2 * corners);
    if (bytes == nullptr) return Truncated();
    auto& vertices = m_model.m_vecVertices;
    for (std::size_t c = 0; c < corners; ++c) {
      const int index = LittleI16(bytes + 2 * c);
      if (index < 0 || static_cast<std::size_t>(index) >= vertices.size()) {
        return BadIndex("polygon", k, "vertex index", index, vertices.size());
      }
      vertIdx[c] = index;
      Vertex& v = vertices[static_cast<std::size_t>(index)];
      v.nx = static_cast<float>(static_cast<double>(v.nx) + polygon.dNormal[0]);
      v.ny = static_cast<float>(static_cast<double>(v.ny) + polygon.dNormal[1]);
      v.nz = static_cast<float>(static_cast<double>(v.nz) + polygon.dNormal[2]);
      ++v.nCount;
    }

    bytes = m_cur.Take(2 * corners);
    if (bytes == nullptr) return Truncated();
    for (std::size_t c = 0; c < corners; ++c) auxIdx[c] = LittleI16(bytes + 2 * c);

    polygon.pMaterial = MatchMaterial(polygon.nMaterialId, polygon.byFlags);
    const bool textured = polygon.pMaterial != nullptr && polygon.pMaterial->nKind == kTexturedKind;
    if (textured && corners != 0) {
      bytes = m_cur.Take(2 * corners);
      if (bytes == nullptr) return Truncated();
      const std::size_t limit = m_model.m_vecTexCoords.size();
      for (std::size_t c = 0; c < corners; ++c) {
        const int index = LittleI16(bytes + 2 * c);
        if (index < 0 || static_cast<std::size_t>(index) >= limit) {
          return BadIndex("polygon", k, "texture-coordinate index", index, limit);
        }
        texIdx[c] = index;
      }
    } else {
      std::fill(texIdx, texIdx + corners, 0);
    }
    if (m_model.m_nVersion == kVersionWithPolygonPad) m_cur.Skip(1);
    return true;
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
    if (!OpenSection(first, static_cast<std::uint64_t>(count) * kObjectRecordSize)) return false;
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

  ByteSource& m_source;
  ByteCursor m_cur;  // over the section being read
  CModel& m_model;
  ReadResult& m_result;
  std::string m_strSection;  // where the cursor is, for the reason of a refusal
  std::array<std::array<Material*, 256>, 2> m_materialByKindAndId{};
};

// Empties everything a model file supplies, keeping the memory the
// containers hold, so that the model reads as if freshly constructed.
void ClearFileContent(CModel& model) {
  model.m_strName.clear();
  model.m_nVersion = model.m_nPolygons = model.m_nVertices = 0;
  model.m_nMaterials = model.m_nSubObjects = 0;
  model.m_vecSectionOffsets.clear();
  model.m_vecMaterials.clear();
  model.m_vecVertices.clear();
  model.m_vecNormals.clear();
  model.m_vecPolygons.clear();
  model.m_indexPool.Reset();
  model.m_vecTexCoords.clear();
  model.m_vecSubObjects.clear();
  const CModel empty;
  model.m_ptMin = empty.m_ptMin;
  model.m_ptMax = empty.m_ptMax;
  model.m_nCurSubObject = 0;
}

// Exchanges everything a model file supplies; the palette, textures,
// default colour and polygon mode stay with their own steps. Swapping the
// material array and the index pool keeps their elements where they are,
// so the polygons' material references and index runs stay valid.
void SwapFileContent(CModel& a, CModel& b) {
  using std::swap;
  swap(a.m_strName, b.m_strName);
  swap(a.m_nVersion, b.m_nVersion);
  swap(a.m_nPolygons, b.m_nPolygons);
  swap(a.m_nVertices, b.m_nVertices);
  swap(a.m_nMaterials, b.m_nMaterials);
  swap(a.m_nSubObjects, b.m_nSubObjects);
  swap(a.m_vecSectionOffsets, b.m_vecSectionOffsets);
  swap(a.m_vecMaterials, b.m_vecMaterials);
  swap(a.m_vecVertices, b.m_vecVertices);
  swap(a.m_vecNormals, b.m_vecNormals);
  swap(a.m_vecPolygons, b.m_vecPolygons);
  swap(a.m_indexPool, b.m_indexPool);
  swap(a.m_vecTexCoords, b.m_vecTexCoords);
  swap(a.m_vecSubObjects, b.m_vecSubObjects);
  swap(a.m_ptMin, b.m_ptMin);
  swap(a.m_ptMax, b.m_ptMax);
  swap(a.m_nCurSubObject, b.m_nCurSubObject);
}

// Parses source into the scratch model and swaps it in only when it is
// complete and placed.
int ReadModel(ByteSource& source, CModel& to, ReadScratch& scratch, ReadResult& result) {
  try {
    CModel& fresh = scratch.model;
    ClearFileContent(fresh);
    LgmdParser parser(source, fresh, result);
    const bool accepted = parser.Parse();
    // A buffer as large as a legal model's file is worth keeping for the
    // next read; the far larger ones only odd files need are not.
    if (scratch.nCapacity > kKeptBufferSize) {
      scratch.pBuffer.Reset();
      scratch.nCapacity = 0;
    }
    if (!accepted) return -1;
    fresh.PlaceSubObjects();
    SwapFileContent(fresh, to);
  } catch (const std::bad_alloc&) {
    // The counts are checked against the file before anything is sized and
    // every size is bounded by the format, so only a machine short of
    // memory gets here; the open model stays.
    result = ReadResult();
    result.error = ReadError::OutOfMemory;
    return -1;
  }
  return 0;
}

}  // namespace

int CModel::Read(const std::string& path) {
  ReadResult result;
  return Read(path, result);
}

int CModel::Read(const std::string& path, ReadResult& result) {
  result = ReadResult();
  filebytes::CInputFile file;
  std::string error;
  if (!file.Open(path, error)) {
    result.error = file.WrongType() ? ReadError::NotRegularFile : ReadError::CannotOpen;
    result.detail = error;
    return -1;
  }
  if (!EnsureReadScratch(result)) return -1;
  FileSource source(file, *m_pReadScratch);
  return ReadModel(source, *this, *m_pReadScratch, result);
}

int CModel::ReadFromMemory(const std::uint8_t* data, std::size_t size) {
  ReadResult result;
  return ReadFromMemory(data, size, result);
}

int CModel::ReadFromMemory(const std::uint8_t* data, std::size_t size, ReadResult& result) {
  result = ReadResult();
  static const std::uint8_t kEmpty = 0;
  MemorySource source(data != nullptr ? data : &kEmpty, data != nullptr ? size : 0);
  if (!EnsureReadScratch(result)) return -1;
  return ReadModel(source, *this, *m_pReadScratch, result);
}

bool CModel::EnsureReadScratch(ReadResult& result) {
  if (m_pReadScratch != nullptr) return true;
  try {
    m_pReadScratch.reset(new ReadScratch);
  } catch (const std::bad_alloc&) {
    result.error = ReadError::OutOfMemory;
    return false;
  }
  return true;
}
