// Writes the model's geometry as a binary little-endian trueSpace object
// file: one polygon chunk ("PolH") with the vertex positions and the faces,
// then the closing "END " chunk. Materials, textures, normals and the
// sub-object structure stay behind; the positions are the placed, model-space
// ones, so the exported object looks like the one on screen.
#include "convert/cob_export.h"

#include <string_view>

#include "io/byte_writer.h"
#include "io/output_plan.h"
#include "io/safe_write.h"
#include "model/model.h"

namespace cob {
namespace {

// Face flags every face carries, and the one material every face names.
constexpr std::uint8_t kFaceFlags = 0x10;
constexpr std::int16_t kFaceMaterial = 0;

// The two chunks written: tag, version and id.
struct Chunk {
  std::string_view tag;
  std::int16_t major;
  std::int16_t minor;
  std::int32_t id;
};
constexpr Chunk kPolygonChunk{"PolH", 0, 2, 1};
constexpr Chunk kEndChunk{"END ", 1, 0, 0};

// Every corner names texture coordinate 0, so the file carries exactly one,
// at (0, 0); with none, readers would see corners referring to a coordinate
// that is not there and drop the whole object.
constexpr std::int32_t kTexCoordCount = 1;

// Fixed body bytes before the vertices: empty name (4), local axes (48),
// position matrix (48), vertex count (4); after them: the texture
// coordinate count and its one coordinate (12) and the face count (4).
constexpr std::size_t kFixedBodySize = 4 + 48 + 48 + 4 + 12 + 4;

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

void WriteChunkHeader(ByteWriter& out, const Chunk& chunk, std::int32_t length) {
  out.Text(chunk.tag);
  out.I16(chunk.major);
  out.I16(chunk.minor);
  out.I32(chunk.id);
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
  WriteChunkHeader(out, kPolygonChunk, 0);
  const std::size_t bodyStart = out.Size();
  WritePolygonBody(out, model);
  out.PatchI32(kChunkLengthOffset, static_cast<std::int32_t>(out.Size() - bodyStart));
  WriteChunkHeader(out, kEndChunk, 0);
  return out.Take();
}

}  // namespace cob

// The model shows no messages itself: the caller gets the result. Like
// every writer it goes through an output plan, so that it never replaces a
// model file.
safewrite::WriteResult CModel::ExportCob(const std::string& path) const {
  output::COutputPlan plan("the model being exported");
  if (const output::PlanCheck check = plan.Claim({}, {path}); !check.Ok()) {
    return {safewrite::WriteStatus::kCannotOpen, path, check.Reason()};
  }
  return safewrite::WriteFile(path, cob::BuildCobFile(*this));
}
