#include "model/lgmd_writer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "io/lgmd_magic.h"
#include "model/lgmd_layout.h"
#include "model/model.h"

using namespace lgmdfile;

namespace {

constexpr int kMaxCount16 = std::numeric_limits<std::int16_t>::max();
constexpr int kMaxObjects = 255;  // the header's object count is a byte, root included
constexpr std::size_t kMaxTableRecords = static_cast<std::size_t>(kMaxIndex) + 1;
constexpr std::array<float, 12> kIdentity = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};

bool FitsI16(long long value) {
  return value >= std::numeric_limits<std::int16_t>::min() &&
         value <= std::numeric_limits<std::int16_t>::max();
}

// A colour component back to the byte it was read from: the reader made it
// as b * kByteToUnit, and rounding b * kByteToUnit * 255 gives b again.
std::uint8_t ColourByte(float component) {
  const double scaled = std::round(static_cast<double>(component) * 255.0);
  if (!(scaled > 0.0)) return 0;
  return scaled >= 255.0 ? std::uint8_t{255} : static_cast<std::uint8_t>(scaled);
}

// Appends little-endian values to the file being built.
class ByteSink {
 public:
  explicit ByteSink(std::vector<std::uint8_t>& out) : m_out(out) {}
  void U8(std::uint8_t v) { m_out.push_back(v); }
  void I16(int v) { Little(static_cast<std::uint16_t>(v), 2); }
  void I32(std::int32_t v) { Little(static_cast<std::uint32_t>(v), 4); }
  void F32(float v) { Little(std::bit_cast<std::uint32_t>(v), 4); }
  void Bytes(const std::uint8_t* data, std::size_t n) { m_out.insert(m_out.end(), data, data + n); }
  // A NUL-padded field; the name has been checked to fit.
  void Name(const std::string& text, std::size_t width) {
    m_out.insert(m_out.end(), text.begin(), text.end());
    m_out.insert(m_out.end(), width - text.size(), 0);
  }

 private:
  void Little(std::uint32_t v, int count) {
    for (int i = 0; i < count; ++i) m_out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  std::vector<std::uint8_t>& m_out;
};

void PutI16(std::uint8_t* at, int v) {
  at[0] = static_cast<std::uint8_t>(v);
  at[1] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8);
}

void PutF32(std::uint8_t* at, float v) {
  const auto bits = std::bit_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

// Checks the model against what the file can hold and works out what the
// fields do not give directly (child links, the normal of each polygon),
// then lays the file out. Every check comes before the first byte.
class LgmdWriter {
 public:
  explicit LgmdWriter(const CModel& model)
      : m_model(model), m_normals(model.Normals().begin(), model.Normals().end()) {}

  LgmdWriteResult Write(std::vector<std::uint8_t>& bytes) {
    if (!CheckHeader() || !CheckMaterials() || !CheckPolygons() || !LinkSubObjects()) {
      return m_result;
    }
    Lay(bytes);
    return m_result;
  }

 private:
  bool Fail(LgmdWriteError error, std::string reason) {
    m_result.error = error;
    m_result.reason = std::move(reason);
    return false;
  }
  bool Count(const char* what, std::size_t count, std::size_t limit) {
    if (count <= limit) return true;
    return Fail(LgmdWriteError::TooMany, std::to_string(count) + " " + what + ", more than the " +
                                             std::to_string(limit) + " a model file can hold");
  }
  bool NameFits(const std::string& where, const std::string& name, std::size_t width) {
    if (name.size() <= width && name.find('\0') == std::string::npos) return true;
    return Fail(LgmdWriteError::NameTooLong, where + ": the name \"" + name +
                                                 "\" is longer than the " + std::to_string(width) +
                                                 " bytes its field holds");
  }

  bool CheckHeader() {
    const CModel& m = m_model;
    return NameFits("the model", m.Name(), kModelNameWidth) &&
           Count("polygons", m.Polygons().size(), kMaxCount16) &&
           Count("vertices", m.Vertices().size(), kMaxCount16) &&
           Count("materials", m.Materials().size(), 255) &&
           Count("sub-objects", m.SubObjects().size(), kMaxObjects - 1) &&
           Count("texture coordinates", m.TexCoords().size(), kMaxTableRecords) &&
           Count("face normals", m.Normals().size(), kMaxTableRecords);
  }

  bool CheckMaterials() {
    const bool byPosition = m_model.Version() == kVersionNumberingTexturesByPosition;
    for (std::size_t j = 0; j < m_model.Materials().size(); ++j) {
      const Material& material = m_model.Materials()[j];
      const std::string where = "material " + std::to_string(j);
      if (!NameFits(where, material.strName, kMaterialNameWidth)) return false;
      if (material.nKind < 0 || material.nKind > 255 || material.nId < 0 || material.nId > 255) {
        return Fail(LgmdWriteError::OutOfRange, where + ": kind and id must each fit in a byte");
      }
      const bool numbered = material.nKind == kTexturedKind && !byPosition;
      if (numbered && (material.nTexNumber < 0 || material.nTexNumber > 255)) {
        return Fail(LgmdWriteError::OutOfRange, where + ": texture number " +
                                                    std::to_string(material.nTexNumber) +
                                                    " does not fit in a byte");
      }
    }
    return true;
  }

  // A polygon's texture-coordinate indices are in the file only when the
  // reader will find it a textured material, so the writer asks the same
  // question of the materials it writes.
  bool CheckPolygons() {
    const MaterialIndex<const Material> materials(m_model.Materials());
    const std::size_t vertices = m_model.Vertices().size();
    const std::size_t texCoords = m_model.TexCoords().size();
    m_normalIndex.resize(m_model.Polygons().size());
    m_textured.resize(m_model.Polygons().size());
    for (std::size_t k = 0; k < m_model.Polygons().size(); ++k) {
      const Polygon& p = m_model.Polygons()[k];
      // Named only when something is wrong: most models have nothing to report.
      const auto where = [k] { return "polygon " + std::to_string(k); };
      const auto corners = static_cast<std::size_t>(p.nVerts);
      if (p.nVerts < 0 || p.nVerts > 255 || p.vecVertIdx.size() != corners ||
          p.vecAuxIdx.size() != corners || p.vecTexIdx.size() != corners) {
        return Fail(LgmdWriteError::OutOfRange, where() + ": " + std::to_string(p.nVerts) +
                                                    " corners, or index lists of another length");
      }
      if (!FitsI16(p.nMaterialId)) {
        return Fail(LgmdWriteError::OutOfRange,
                    where() + ": material id " + std::to_string(p.nMaterialId) + " does not fit");
      }
      for (std::size_t c = 0; c < corners; ++c) {
        if (p.vecVertIdx[c] < 0 || static_cast<std::size_t>(p.vecVertIdx[c]) >= vertices) {
          return Fail(LgmdWriteError::OutOfRange,
                      where() + ": vertex index " + std::to_string(p.vecVertIdx[c]) +
                          " outside the " + std::to_string(vertices) + " vertices");
        }
        if (!FitsI16(p.vecAuxIdx[c])) {
          return Fail(
              LgmdWriteError::OutOfRange,
              where() + ": second index " + std::to_string(p.vecAuxIdx[c]) + " does not fit");
        }
      }
      const Material* material = materials.Match(p.nMaterialId, p.byFlags);
      m_textured[k] = material != nullptr && material->nKind == kTexturedKind && corners != 0;
      for (std::size_t c = 0; m_textured[k] && c < corners; ++c) {
        if (p.vecTexIdx[c] < 0 || static_cast<std::size_t>(p.vecTexIdx[c]) >= texCoords) {
          return Fail(LgmdWriteError::OutOfRange,
                      where() + ": texture-coordinate index " + std::to_string(p.vecTexIdx[c]) +
                          " outside the " + std::to_string(texCoords) + " texture coordinates");
        }
      }
      m_normalIndex[k] = NormalOf(p);
    }
    return Count("face normals", m_normals.size(), kMaxTableRecords);
  }

  // The polygon's own entry of the normal table; a polygon made in code
  // without one gets its normal added to the table.
  int NormalOf(const Polygon& p) {
    if (p.nNormalIndex >= 0 && static_cast<std::size_t>(p.nNormalIndex) < m_normals.size()) {
      return p.nNormalIndex;
    }
    Vertex normal;
    normal.x = static_cast<float>(p.dNormal[0]);
    normal.y = static_cast<float>(p.dNormal[1]);
    normal.z = static_cast<float>(p.dNormal[2]);
    m_normals.push_back(normal);
    return static_cast<int>(m_normals.size() - 1);
  }

  // Each object record links one child, so a model is writable when no
  // object has two children; a chain that never reaches the root would be
  // refused by the reader.
  bool LinkSubObjects() {
    const auto& objects = m_model.SubObjects();
    const int count = static_cast<int>(objects.size());
    m_childLink.assign(objects.size(), kNoChild);
    for (int j = 0; j < count; ++j) {
      const int parent = objects[j].nParent;
      const std::string where = "sub-object " + std::to_string(j);
      if (parent < -1 || parent >= count) {
        return Fail(LgmdWriteError::BadHierarchy, where + ": parent " + std::to_string(parent) +
                                                      " is not one of the sub-objects");
      }
      if (parent >= 0 && m_childLink[parent] != kNoChild) {
        return Fail(LgmdWriteError::BadHierarchy,
                    where + " and sub-object " + std::to_string(m_childLink[parent] - 1) +
                        " have the same parent, but a record links only one child");
      }
      if (parent >= 0) m_childLink[parent] = j + 1;  // links count from 1, the root being 0
      for (int index = parent, steps = 0; index != -1; index = objects[index].nParent) {
        if (++steps > count) {
          return Fail(LgmdWriteError::BadHierarchy, where + ": its parents come back to it");
        }
      }
      const long long length = static_cast<long long>(objects[j].nLast) - objects[j].nFirst + 1;
      if (!FitsI16(objects[j].nFirst) || !FitsI16(length)) {
        return Fail(LgmdWriteError::OutOfRange,
                    where + ": the index range " + std::to_string(objects[j].nFirst) + " to " +
                        std::to_string(objects[j].nLast) + " does not fit");
      }
    }
    return true;
  }

  std::size_t PolygonSize(std::size_t k) const {
    const auto corners = static_cast<std::size_t>(m_model.Polygons()[k].nVerts);
    return kPolygonMinSize + 2 * corners * (m_textured[k] ? 3 : 2) +
           (m_model.Version() == kVersionWithPolygonPad ? 1 : 0);
  }

  void Lay(std::vector<std::uint8_t>& bytes) {
    const CModel& m = m_model;
    std::array<std::int32_t, kSectionCount> table{};
    std::size_t at = kHeaderSize;
    auto next = [&at](std::size_t length) {
      const auto start = static_cast<std::int32_t>(at);
      at += length;
      return start;
    };
    table[kObjectsStart] = next(kObjectRecordSize * (m.SubObjects().size() + 1));
    table[kMaterialsStart] = next(kMaterialSize * m.Materials().size());
    table[kTexCoordsStart] = next(kTexCoordSize * m.TexCoords().size());
    table[kTexCoordsEnd] = table[kVerticesStart] = next(kVertexSize * m.Vertices().size());
    table[kVerticesEnd] = table[kNormalsStart] = next(kNormalSize * m_normals.size());
    std::size_t polygons = 0;
    for (std::size_t k = 0; k < m.Polygons().size(); ++k) polygons += PolygonSize(k);
    table[kPolygonsStart] = next(polygons);
    table[kPolygonsEnd] = static_cast<std::int32_t>(at);

    bytes.clear();
    bytes.reserve(at);
    ByteSink out(bytes);
    WriteHeader(out, table);
    WriteObjects(out);
    WriteMaterials(out);
    for (const TexCoord& tc : m.TexCoords()) {
      out.F32(tc.u);
      out.F32(tc.v);
    }
    WriteVertices(out);
    for (const Vertex& n : m_normals) {
      out.F32(n.x);
      out.F32(n.y);
      out.F32(n.z);
    }
    for (std::size_t k = 0; k < m.Polygons().size(); ++k) WritePolygon(out, k);
  }

  void WriteHeader(ByteSink& out, const std::array<std::int32_t, kSectionCount>& table) {
    const CModel& m = m_model;
    const std::uint8_t* unused = m.Content().m_byHeaderUnused.data();
    out.Bytes(reinterpret_cast<const std::uint8_t*>(kLgmdMagic), sizeof kLgmdMagic);
    out.I32(m.Version());
    out.Name(m.Name(), kModelNameWidth);
    out.Bytes(unused, kHeaderUnusedAfterName);
    out.I16(static_cast<int>(m.Polygons().size()));
    out.I16(static_cast<int>(m.Vertices().size()));
    out.Bytes(unused + kHeaderUnusedAfterName, kHeaderUnusedAfterCounts);
    out.U8(static_cast<std::uint8_t>(m.Materials().size()));
    out.Bytes(unused + kHeaderUnusedAfterName + kHeaderUnusedAfterCounts,
              kHeaderUnusedAfterMaterials);
    out.U8(static_cast<std::uint8_t>(m.SubObjects().size() + 1));
    for (std::int32_t entry : table) out.I32(entry);
  }

  // The root keeps its record as read; a model made in code gets one named
  // after the model, in model space, linking no child.
  void WriteObjects(ByteSink& out) {
    std::array<std::uint8_t, kObjectRecordSize> record{};
    if (m_model.Content().m_byRootObject.size() == kObjectRecordSize) {
      std::copy(m_model.Content().m_byRootObject.begin(), m_model.Content().m_byRootObject.end(),
                record.begin());
    } else {
      std::memcpy(record.data(), m_model.Name().data(), m_model.Name().size());
      for (std::size_t k = 0; k < kIdentity.size(); ++k) {
        PutF32(&record[kObjectMatrixAt + 4 * k], kIdentity[k]);
      }
      PutI16(&record[kObjectChildAt], kNoChild);
    }
    out.Bytes(record.data(), record.size());
    for (std::size_t j = 0; j < m_model.SubObjects().size(); ++j) {
      const SubObject& object = m_model.SubObjects()[j];
      record = object.byRecord;
      for (std::size_t k = 0; k < 12; ++k)
        PutF32(&record[kObjectMatrixAt + 4 * k], object.fMatrix[k]);
      PutI16(&record[kObjectChildAt], m_childLink[j]);
      PutI16(&record[kObjectRangeAt], object.nFirst);
      PutI16(&record[kObjectRangeAt + 2], object.nLast - object.nFirst + 1);
      out.Bytes(record.data(), record.size());
    }
  }

  // Bytes 18 to 20 hold blue, green and red; the blue byte is also the
  // texture number of a textured material, except in version 3 where the
  // material's position numbers its texture.
  void WriteMaterials(ByteSink& out) {
    const bool byPosition = m_model.Version() == kVersionNumberingTexturesByPosition;
    for (const Material& material : m_model.Materials()) {
      out.Name(material.strName, kMaterialNameWidth);
      out.U8(static_cast<std::uint8_t>(material.nKind));
      out.U8(static_cast<std::uint8_t>(material.nId));
      const bool numbered = material.nKind == kTexturedKind && !byPosition;
      out.U8(numbered ? static_cast<std::uint8_t>(material.nTexNumber)
                      : ColourByte(material.fColor[2]));
      out.U8(ColourByte(material.fColor[1]));
      out.U8(ColourByte(material.fColor[0]));
      out.Bytes(material.byUnused.data(), material.byUnused.size());
    }
  }

  void WriteVertices(ByteSink& out) {
    const CModel& m = m_model;
    if (m.Content().m_byFilePositions.size() == kVertexSize * m.Vertices().size()) {
      out.Bytes(m.Content().m_byFilePositions.data(), m.Content().m_byFilePositions.size());
      return;
    }
    for (const Vertex& v : m.Vertices()) {
      out.F32(v.x);
      out.F32(v.y);
      out.F32(v.z);
    }
  }

  void WritePolygon(ByteSink& out, std::size_t k) {
    const Polygon& p = m_model.Polygons()[k];
    out.Bytes(p.byUnused.data(), 2);
    out.I16(p.nMaterialId);
    out.U8(p.byFlags);
    out.U8(static_cast<std::uint8_t>(p.nVerts));
    out.I16(m_normalIndex[k]);
    out.Bytes(p.byUnused.data() + 2, kPolygonHeadSkip);
    for (int index : p.vecVertIdx) out.I16(index);
    for (int index : p.vecAuxIdx) out.I16(index);
    if (m_textured[k]) {
      for (int index : p.vecTexIdx) out.I16(index);
    }
    if (m_model.Version() == kVersionWithPolygonPad) out.U8(p.byUnused[6]);
  }

  const CModel& m_model;
  LgmdWriteResult m_result;
  std::vector<Vertex> m_normals;   // the model's table, and the normals added for it
  std::vector<int> m_normalIndex;  // per polygon
  std::vector<bool> m_textured;    // per polygon: its record holds texture-coordinate indices
  std::vector<int> m_childLink;    // per sub-object
};

}  // namespace

LgmdWriteResult WriteLgmd(const CModel& model, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  return LgmdWriter(model).Write(bytes);
}
