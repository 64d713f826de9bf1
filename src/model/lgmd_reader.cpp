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
#include <bit>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "io/byte_cursor.h"
#include "io/file_bytes.h"
#include "io/lgmd_magic.h"
#include "model/lgmd_layout.h"
#include "model/model.h"
#include "model/placement.h"
#include "model/read_result.h"

namespace {

using namespace lgmdfile;

// Polygons and corners index these sections with signed 16-bit values, so
// no record past the first 32768 can ever be used; the rest of a longer
// section is counted against the file's size but not kept.
constexpr std::size_t kIndexReach = kMaxIndex + 1;

// A polygon record is at least 12 bytes. The longest has 255 corners with
// three indices each, and the version-4 pad.
constexpr std::size_t kPolygonMaxSize = kPolygonMinSize + 3 * 2 * 255 + 1;

// The file buffer a model keeps between reads, at most: the largest model
// the format can describe with four-cornered polygons is about 2 MiB.
constexpr std::size_t kKeptBufferSize = std::size_t{4} << 20;

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
  ModelContent model;  // the content the last read replaced, refilled by the next
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
  LgmdParser(ByteSource& source, ModelContent& model, ReadResult& result)
      : m_source(source), m_cur(nullptr, 0), m_model(model), m_result(result) {}

  bool Parse() {
    if (!ReadHeader() || !ReadMaterials() || !ReadTexCoords() || !ReadVertices() ||
        !ReadNormals() || !ReadPolygons()) {
      return false;
    }
    AverageVertexNormals(m_model.m_vecVertices);
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
    std::uint8_t* unused = m_model.m_byHeaderUnused.data();
    if (!m_cur.ReadBytes(unused, kHeaderUnusedAfterName)) return Truncated();
    unused += kHeaderUnusedAfterName;

    std::int16_t polygons = 0, vertices = 0;
    std::uint8_t materials = 0, objects = 0;
    if (!m_cur.ReadI16(polygons) || !m_cur.ReadI16(vertices) ||
        !m_cur.ReadBytes(unused, kHeaderUnusedAfterCounts) || !m_cur.ReadU8(materials) ||
        !m_cur.ReadBytes(unused + kHeaderUnusedAfterCounts, kHeaderUnusedAfterMaterials) ||
        !m_cur.ReadU8(objects)) {
      return Truncated();
    }
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

  // Materials counted in the header but absent from the file read as
  // records of zeros: empty name, kind 0, id 0, black, opaque, texture 0,
  // or in version 3 the material's position, as its records number their
  // textures. A re-save writes such records, which read back the same.
  bool ReadMaterials() {
    m_strSection = "the material section";
    m_model.m_vecMaterials.resize(m_model.m_nMaterials);
    if (Entry(kTexCoordsStart) != Entry(kMaterialsStart) && m_model.m_nMaterials != 0) {
      const std::uint64_t length = std::uint64_t{kMaterialSize} * m_model.m_nMaterials;
      if (!OpenSection(Entry(kMaterialsStart), length)) return false;
      for (int j = 0; j < m_model.m_nMaterials; ++j) {
        if (!ReadMaterial(j, m_model.m_vecMaterials[j])) return Truncated();
      }
    } else if (m_model.m_nVersion == kVersionNumberingTexturesByPosition) {
      for (int j = 0; j < m_model.m_nMaterials; ++j) m_model.m_vecMaterials[j].nTexNumber = j;
    }
    m_materials.emplace(m_model.m_vecMaterials);
    return true;
  }

  bool ReadMaterial(int j, Material& material) {
    std::uint8_t kind = 0, id = 0, blue = 0, green = 0, red = 0;
    if (!m_cur.ReadName(kMaterialNameWidth, material.strName) || !m_cur.ReadU8(kind) ||
        !m_cur.ReadU8(id) || !m_cur.ReadU8(blue) || !m_cur.ReadU8(green) || !m_cur.ReadU8(red) ||
        !m_cur.ReadBytes(material.byUnused.data(), kMaterialUnusedTail)) {
      return false;
    }
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

  // The records of a section that only its span in the table counts
  // (texture coordinates, normals): each the floats of fields, in order. As
  // many as an index can reach are kept.
  template <typename Records, typename Record>
  bool ReadSpannedRecords(std::int64_t start, std::int64_t end, std::size_t recordSize,
                          Records& records, std::initializer_list<float Record::*> fields) {
    const auto count =
        static_cast<std::size_t>((end - start) / static_cast<std::int64_t>(recordSize));
    if (count == 0) return true;
    const std::size_t keep = std::min(count, kIndexReach);
    if (!OpenRecords(start, count, recordSize, keep)) return false;
    records.resize(keep);
    for (Record& record : records) {
      for (float Record::*field : fields) m_cur.ReadF32(record.*field);
    }
    return true;
  }

  bool ReadTexCoords() {
    m_strSection = "the texture-coordinate section";
    return ReadSpannedRecords(Entry(kTexCoordsStart), Entry(kTexCoordsEnd), kTexCoordSize,
                              m_model.m_vecTexCoords, {&TexCoord::u, &TexCoord::v});
  }

  // The bounding box is that of the positions as stored, before placement.
  bool ReadVertices() {
    m_strSection = "the vertex section";
    const auto count = static_cast<std::size_t>(m_model.m_nVertices);
    if (count == 0) return true;
    if (!OpenRecords(Entry(kVerticesStart), count, kVertexSize, count)) return false;
    // The section as it is, for a re-save: placement moves the vertices.
    const std::uint8_t* section = m_cur.Take(count * kVertexSize);
    if (section == nullptr) return Truncated();
    m_model.m_byFilePositions.assign(section, section + count * kVertexSize);
    m_model.m_vecVertices.resize(count);
    Vertex& lo = m_model.m_ptMin;
    Vertex& hi = m_model.m_ptMax;
    const std::uint8_t* at = section;
    for (Vertex& v : m_model.m_vecVertices) {
      v.x = std::bit_cast<float>(LittleU32(at));
      v.y = std::bit_cast<float>(LittleU32(at + 4));
      v.z = std::bit_cast<float>(LittleU32(at + 8));
      at += kVertexSize;
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
    return ReadSpannedRecords(Entry(kNormalsStart), Entry(kPolygonsStart), kNormalSize,
                              m_model.m_vecNormals, {&Vertex::x, &Vertex::y, &Vertex::z});
  }

  bool ReadPolygons() {
    m_strSection = "the polygon section";
    const auto count = static_cast<std::size_t>(m_model.m_nPolygons);
    if (count == 0) return true;
    const std::int64_t start = Entry(kPolygonsStart);
    if (start < 0 || static_cast<std::uint64_t>(start) > Size()) return Outside(start);
    const std::size_t needed = count * kPolygonMinSize;
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
    const std::uint8_t* head = m_cur.Take(kPolygonMinSize);
    if (head == nullptr) return Truncated();
    polygon.nMaterialId = LittleI16(head + 2);
    polygon.byFlags = head[4];
    const std::size_t corners = head[5];
    polygon.nVerts = static_cast<int>(corners);
    const int normalIndex = LittleI16(head + 6);
    polygon.nNormalIndex = normalIndex;
    polygon.byUnused[0] = head[0];
    polygon.byUnused[1] = head[1];
    std::memcpy(&polygon.byUnused[2], head + kPolygonHeadSize, kPolygonHeadSkip);

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

    polygon.pMaterial = m_materials->Match(polygon.nMaterialId, polygon.byFlags);
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
    if (m_model.m_nVersion == kVersionWithPolygonPad) {
      // The last record may end without its pad byte.
      if (!m_cur.ReadU8(polygon.byUnused[6])) m_cur.Skip(1);
    }
    return true;
  }

  bool ReadSubObjects() {
    m_strSection = "the object section";
    const int count = m_model.m_nSubObjects;
    m_model.m_nCurSubObject = 0;
    if (!KeepRootObject()) return false;
    if (count == 0) return true;
    // Object record 0 is the root, whose frame is model space; it takes no
    // part in placement.
    const std::int64_t first = Entry(kObjectsStart) + std::int64_t{kObjectRecordSize};
    if (!OpenSection(first, std::uint64_t{kObjectRecordSize} * static_cast<std::uint64_t>(count))) {
      return false;
    }
    m_model.m_vecSubObjects.resize(count);
    for (SubObject& object : m_model.m_vecSubObjects) object.nParent = -1;
    for (int i = 0; i < count; ++i) {
      if (!ReadSubObject(i)) return false;
    }
    return true;
  }

  // The root's record means nothing to the viewer, so a file whose table
  // points it outside the file is not refused for that: the record is kept
  // for a re-save only when the file holds all of it.
  bool KeepRootObject() {
    const std::int64_t start = Entry(kObjectsStart);
    if (start < 0 || static_cast<std::uint64_t>(start) > Size() ||
        Left(start) < kObjectRecordSize) {
      return true;
    }
    if (!OpenSection(start, kObjectRecordSize)) return false;
    const std::uint8_t* record = m_cur.Take(kObjectRecordSize);
    if (record != nullptr) m_model.m_byRootObject.assign(record, record + kObjectRecordSize);
    return true;
  }

  // The file links parent to child; the link may name an object before or
  // after this one, so every nParent starts at -1 before the loop. The last
  // record may lack the unused bytes after its index range.
  bool ReadSubObject(int i) {
    constexpr std::size_t kNeeded = kObjectRangeAt + 4;
    SubObject& object = m_model.m_vecSubObjects[i];
    const std::size_t available = std::min(kObjectRecordSize, m_cur.Remaining());
    const std::uint8_t* record = m_cur.Take(available);
    if (record == nullptr || available < kNeeded) return Truncated();
    std::copy(record, record + available, object.byRecord.begin());
    for (int k = 0; k < 12; ++k) {
      object.fMatrix[k] = std::bit_cast<float>(LittleU32(record + kObjectMatrixAt + 4 * k));
    }
    const int child = LittleI16(record + kObjectChildAt);
    if (child != kNoChild) {
      // Links count the objects from 1, the root being 0.
      if (child < 1 || child > m_model.m_nSubObjects) {
        return BadIndex("sub-object", i, "child link", child,
                        static_cast<std::size_t>(m_model.m_nSubObjects) + 1);
      }
      m_model.m_vecSubObjects[child - 1].nParent = i;
    }
    const int first = LittleI16(record + kObjectRangeAt);
    const int length = LittleI16(record + kObjectRangeAt + 2);
    object.nFirst = first;
    object.nLast = first + length - 1;
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
  ModelContent& m_model;
  ReadResult& m_result;
  std::string m_strSection;  // where the cursor is, for the reason of a refusal
  std::optional<MaterialIndex<Material>> m_materials;
};

// Empties everything a model file supplies, keeping the memory the
// containers hold, so that the model reads as if freshly constructed.
void ClearFileContent(ModelContent& model) {
  model.m_strName.clear();
  model.m_nVersion = model.m_nPolygons = model.m_nVertices = 0;
  model.m_nMaterials = model.m_nSubObjects = 0;
  model.m_vecSectionOffsets.clear();
  model.m_byHeaderUnused.fill(0);
  model.m_byRootObject.clear();
  model.m_byFilePositions.clear();
  model.m_vecMaterials.clear();
  model.m_vecVertices.clear();
  model.m_vecNormals.clear();
  model.m_vecPolygons.clear();
  model.m_indexPool.Reset();
  model.m_vecTexCoords.clear();
  model.m_vecSubObjects.clear();
  const ModelContent empty;
  model.m_ptMin = empty.m_ptMin;
  model.m_ptMax = empty.m_ptMax;
  model.m_nCurSubObject = 0;
}

// Parses source into the scratch model and swaps it in only when it is
// complete and placed; false with the reason in result otherwise.
bool ReadModel(ByteSource& source, ModelContent& to, ReadScratch& scratch, ReadResult& result) {
  try {
    ModelContent& fresh = scratch.model;
    ClearFileContent(fresh);
    LgmdParser parser(source, fresh, result);
    const bool accepted = parser.Parse();
    // A buffer as large as a legal model's file is worth keeping for the
    // next read; the far larger ones only odd files need are not.
    if (scratch.nCapacity > kKeptBufferSize) {
      scratch.pBuffer.Reset();
      scratch.nCapacity = 0;
    }
    if (!accepted) return false;
    PlaceSubObjects(fresh);
    // Swapping keeps the material array's elements where they are, so the
    // polygons' material references stay valid.
    std::swap(fresh, to);
  } catch (const std::bad_alloc&) {
    // The counts are checked against the file before anything is sized and
    // every size is bounded by the format, so only a machine short of
    // memory gets here; the open model stays.
    result = ReadResult();
    result.error = ReadError::OutOfMemory;
    return false;
  }
  return true;
}

}  // namespace

ReadResult CModel::Read(const std::string& path) {
  ReadResult result;
  filebytes::CInputFile file;
  std::string error;
  if (!file.Open(path, error)) {
    result.error = file.WrongType() ? ReadError::NotRegularFile : ReadError::CannotOpen;
    result.detail = error;
    return result;
  }
  if (!EnsureReadScratch(result)) return result;
  FileSource source(file, *m_pReadScratch);
  ReadModel(source, *this, *m_pReadScratch, result);
  return result;
}

ReadResult CModel::ReadFromMemory(const std::uint8_t* data, std::size_t size) {
  ReadResult result;
  static const std::uint8_t kEmpty = 0;
  MemorySource source(data != nullptr ? data : &kEmpty, data != nullptr ? size : 0);
  if (!EnsureReadScratch(result)) return result;
  ReadModel(source, *this, *m_pReadScratch, result);
  return result;
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
