// Writes the model's geometry as a binary little-endian trueSpace object
// file: one polygon chunk ("PolH") with the vertex positions and the faces,
// then the closing "END " chunk. Materials, textures, normals and the
// sub-object structure stay behind; the positions are the placed, model-space
// ones, so the exported object looks like the one on screen.
#include "convert/cob_export.h"

#include <bit>
#include <string_view>

#include "io/safe_write.h"
#include "model/model.h"

namespace cob {
namespace {

// Face flags every face carries, and the one material every face names.
constexpr std::uint8_t kFaceFlags = 0x10;
constexpr std::int16_t kFaceMaterial = 0;

// Chunk ids and versions of the two chunks written.
constexpr std::int16_t kPolyMajor = 0;
constexpr std::int16_t kPolyMinor = 2;
constexpr std::int32_t kPolyChunkId = 1;
constexpr std::int16_t kEndMajor = 1;
constexpr std::int16_t kEndMinor = 0;

// Every corner names texture coordinate 0, so the file carries exactly one,
// at (0, 0); with none, readers would see corners referring to a coordinate
// that is not there and drop the whole object.
constexpr std::int32_t kTexCoordCount = 1;

// Fixed body bytes before the vertices: empty name (4), local axes (48),
// position matrix (48), vertex count (4); after them: the texture
// coordinate count and its one coordinate (12) and the face count (4).
constexpr std::size_t kFixedBodySize = 4 + 48 + 48 + 4 + 12 + 4;

// Little-endian writer into a growing byte buffer.
class ByteWriter {
 public:
  explicit ByteWriter(std::size_t capacity) { m_bytes.reserve(capacity); }

  void Text(std::string_view text) { m_bytes.insert(m_bytes.end(), text.begin(), text.end()); }
  void U8(std::uint8_t value) { m_bytes.push_back(value); }
  void I16(std::int16_t value) { Unsigned(static_cast<std::uint16_t>(value), 2); }
  void I32(std::int32_t value) { Unsigned(static_cast<std::uint32_t>(value), 4); }
  void F32(float value) { Unsigned(std::bit_cast<std::uint32_t>(value), 4); }
  void Floats(std::initializer_list<float> values) {
    for (float v : values) F32(v);
  }
  // Overwrites four bytes already written.
  void PatchI32(std::size_t offset, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) m_bytes[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
  }
  std::size_t Size() const { return m_bytes.size(); }
  std::vector<std::uint8_t> Take() { return std::move(m_bytes); }

 private:
  void Unsigned(std::uint32_t bits, int count) {
    for (int i = 0; i < count; ++i) m_bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
  }

  std::vector<std::uint8_t> m_bytes;
};

std::size_t FacesSize(const CModel& model) {
  std::size_t size = 0;
  for (const Polygon& polygon : model.Polygons()) size += 5 + 8 * polygon.vecVertIdx.size();
  return size;
}

void WriteFileHeader(ByteWriter& out) {
  out.Text("Caligari ");
  out.Text("V00.01");
  out.Text("B");   // binary data
  out.Text("LH");  // little-endian
  out.Text("             \n");
}

void WriteChunkHeader(ByteWriter& out, std::string_view tag, std::int16_t major, std::int16_t minor,
                      std::int32_t id, std::int32_t length) {
  out.Text(tag);
  out.I16(major);
  out.I16(minor);
  out.I32(id);
  out.I32(0);  // parent chunk id
  out.I32(length);
}

void WriteFace(ByteWriter& out, const Polygon& polygon) {
  out.U8(kFaceFlags);
  out.I16(static_cast<std::int16_t>(polygon.vecVertIdx.size()));
  out.I16(kFaceMaterial);
  // Last corner first: trueSpace winds its faces the other way round.
  for (auto it = polygon.vecVertIdx.rbegin(); it != polygon.vecVertIdx.rend(); ++it) {
    out.I32(*it);
    out.I32(0);  // texture coordinate index
  }
}

void WritePolygonBody(ByteWriter& out, const CModel& model) {
  out.I16(0);                                        // name: duplicate count
  out.I16(0);                                        // name: length, no characters follow
  out.Floats({0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1});  // local axes: centre, x, y, z
  out.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0});  // position: identity, by rows
  // The arrays themselves, not the header counts, bound what is written, so
  // a count that disagrees with its array can never read past it.
  out.I32(static_cast<std::int32_t>(model.Vertices().size()));
  for (const Vertex& v : model.Vertices()) out.Floats({v.x, v.y, v.z});
  out.I32(kTexCoordCount);
  out.Floats({0.0f, 0.0f});
  out.I32(static_cast<std::int32_t>(model.Polygons().size()));
  for (const Polygon& polygon : model.Polygons()) WriteFace(out, polygon);
}

}  // namespace

std::vector<std::uint8_t> BuildCobFile(const CModel& model) {
  const std::size_t bodySize = kFixedBodySize + 12 * model.Vertices().size() + FacesSize(model);
  ByteWriter out(kFileHeaderSize + kChunkHeaderSize + bodySize + kEndChunkSize);
  WriteFileHeader(out);
  WriteChunkHeader(out, "PolH", kPolyMajor, kPolyMinor, kPolyChunkId, 0);
  const std::size_t bodyStart = out.Size();
  WritePolygonBody(out, model);
  out.PatchI32(kChunkLengthOffset, static_cast<std::int32_t>(out.Size() - bodyStart));
  WriteChunkHeader(out, "END ", kEndMajor, kEndMinor, 0, 0);
  return out.Take();
}

}  // namespace cob

// The model shows no messages itself: the caller gets the text.
int CModel::ExportCob(const std::string& path, std::string& strError) const {
  const safewrite::WriteResult written = safewrite::WriteFile(path, cob::BuildCobFile(*this));
  if (written.Ok()) return 0;
  strError = written.Line();
  return -1;
}
