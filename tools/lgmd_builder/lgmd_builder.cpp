#include "lgmd_builder/lgmd_builder.h"

#include <cstring>
#include <fstream>
#include <string_view>

#include "io/byte_writer.h"

namespace lgmd {

namespace {

constexpr std::int32_t kHeaderSize = 110;
constexpr std::int32_t kObjectSize = 93;
constexpr std::int32_t kMaterialSize = 26;
constexpr std::int32_t kTexCoordSize = 8;
constexpr std::int32_t kVec3Size = 12;
constexpr std::int32_t kMipHeaderSize = 12;

// A NUL-padded field; a longer text is cut to the width.
void WriteName(ByteWriter& w, const std::string& text, std::size_t width) {
  const std::size_t n = text.size() < width ? text.size() : width;
  w.Text(std::string_view(text).substr(0, n));
  w.Zeros(width - n);
}

std::size_t ObjectCount(const ModelDesc& desc) {
  return desc.objects.empty() ? 1 : desc.objects.size();
}

std::int32_t PolygonSize(const BuilderPolygon& p, std::int32_t version) {
  const auto corners = static_cast<std::int32_t>(p.vertIdx.size());
  const auto aux = p.auxIdx.empty() ? corners : static_cast<std::int32_t>(p.auxIdx.size());
  const auto tex = static_cast<std::int32_t>(p.texIdx.size());
  return 12 + 2 * (corners + aux + tex) + (version == 4 ? 1 : 0);
}

void WriteObject(ByteWriter& w, const BuilderObject& o) {
  WriteName(w, o.name, 8);
  w.Bytes(o.unused.data(), 13);
  for (float v : o.matrix) w.F32(v);
  w.I16(o.childLink);
  w.Bytes(o.unused.data() + 13, 10);
  w.I16(o.rangeFirst);
  w.I16(o.rangeLength);
  w.Bytes(o.unused.data() + 23, 8);
}

void WriteMaterial(ByteWriter& w, const BuilderMaterial& m) {
  WriteName(w, m.name, 16);
  w.U8(m.kind);
  w.U8(m.id);
  w.U8(m.blue);
  w.U8(m.green);
  w.U8(m.red);
  w.Bytes(m.unused.data(), m.unused.size());
}

void WritePolygon(ByteWriter& w, const BuilderPolygon& p, std::int32_t version) {
  w.Bytes(p.unused.data(), 2);
  w.I16(p.materialId);
  w.U8(p.flags);
  w.U8(p.cornerCount.value_or(static_cast<std::uint8_t>(p.vertIdx.size())));
  w.I16(p.normalIndex);
  w.Bytes(p.unused.data() + 2, 4);
  for (std::int16_t v : p.vertIdx) w.I16(v);
  if (p.auxIdx.empty()) {
    w.Zeros(2 * p.vertIdx.size());
  } else {
    for (std::int16_t v : p.auxIdx) w.I16(v);
  }
  for (std::int16_t v : p.texIdx) w.I16(v);
  if (version == 4) w.U8(p.unused[6]);
}

std::int32_t SectionSize(const ModelDesc& desc, Section section) {
  const auto n = [](std::size_t count) { return static_cast<std::int32_t>(count); };
  switch (section) {
    case Section::kObjects:
      return kObjectSize * n(ObjectCount(desc));
    case Section::kMaterials:
      return kMaterialSize * n(desc.materials.size());
    case Section::kTexCoords:
      return kTexCoordSize * n(desc.texCoords.size());
    case Section::kVertices:
      return kVec3Size * n(desc.vertices.size());
    case Section::kNormals:
      return kVec3Size * n(desc.normals.size());
    case Section::kPolygons: {
      std::int32_t size = 0;
      for (const BuilderPolygon& p : desc.polygons) size += PolygonSize(p, desc.version);
      return size;
    }
  }
  return 0;
}

void WriteSection(ByteWriter& w, const ModelDesc& desc, Section section) {
  switch (section) {
    case Section::kObjects:
      if (desc.objects.empty()) {
        WriteObject(w, BuilderObject{});
      } else {
        for (const BuilderObject& o : desc.objects) WriteObject(w, o);
      }
      break;
    case Section::kMaterials:
      for (const BuilderMaterial& m : desc.materials) WriteMaterial(w, m);
      break;
    case Section::kTexCoords:
      for (const auto& tc : desc.texCoords) {
        w.F32(tc[0]);
        w.F32(tc[1]);
      }
      break;
    case Section::kVertices:
      for (const auto& v : desc.vertices) {
        for (float c : v) w.F32(c);
      }
      break;
    case Section::kNormals:
      for (const auto& n : desc.normals) {
        for (float c : n) w.F32(c);
      }
      break;
    case Section::kPolygons:
      for (const BuilderPolygon& p : desc.polygons) WritePolygon(w, p, desc.version);
      break;
  }
}

// The table entries of each section, in the order of Section: where its
// start stands, and where its end does (-1: the table gives no end).
struct TableSlots {
  int start;
  int end;
};
constexpr TableSlots kTableSlots[] = {{0, -1}, {1, -1}, {2, 3}, {4, 5}, {6, -1}, {7, 8}};

}  // namespace

std::array<std::int32_t, 10> SectionTable(const ModelDesc& desc) {
  std::array<std::int32_t, 10> t{};
  std::int32_t pos = kHeaderSize;
  for (std::size_t i = 0; i < desc.order.size(); ++i) {
    pos += desc.gapBefore[i];
    const std::int32_t size = SectionSize(desc, desc.order[i]);
    const TableSlots& slots = kTableSlots[static_cast<std::size_t>(desc.order[i])];
    t[slots.start] = pos;
    if (slots.end >= 0) t[slots.end] = pos + size;
    pos += size;
  }
  t[9] = 0;
  return t;
}

std::vector<std::uint8_t> Build(const ModelDesc& desc) {
  ByteWriter w(static_cast<std::size_t>(kHeaderSize) + desc.trailer.size());
  const auto table = desc.sectionTable.value_or(SectionTable(desc));

  for (char c : {'L', 'G', 'M', 'D'}) w.U8(static_cast<std::uint8_t>(c));
  w.I32(desc.version);
  WriteName(w, desc.name, 8);
  w.Bytes(desc.headerUnused.data(), 44);
  w.I16(desc.polygonCount.value_or(static_cast<std::int16_t>(desc.polygons.size())));
  w.I16(desc.vertexCount.value_or(static_cast<std::int16_t>(desc.vertices.size())));
  w.Bytes(desc.headerUnused.data() + 44, 2);
  w.U8(desc.materialCount.value_or(static_cast<std::uint8_t>(desc.materials.size())));
  w.Bytes(desc.headerUnused.data() + 46, 2);
  w.U8(desc.objectCount.value_or(static_cast<std::uint8_t>(ObjectCount(desc))));
  for (std::int32_t entry : table) w.I32(entry);

  for (std::size_t i = 0; i < desc.order.size(); ++i) {
    w.Zeros(desc.gapBefore[i]);
    WriteSection(w, desc, desc.order[i]);
  }
  w.Bytes(desc.trailer.data(), desc.trailer.size());
  return w.Take();
}

std::vector<std::uint8_t> BuildMip(std::int16_t width, std::int16_t height,
                                   const std::vector<std::uint8_t>& indices,
                                   std::int32_t pixelOffset) {
  ByteWriter w;
  w.I32(pixelOffset);
  w.Zeros(4);
  w.I16(width);
  w.I16(height);
  if (pixelOffset > kMipHeaderSize) w.Zeros(static_cast<std::size_t>(pixelOffset - kMipHeaderSize));
  w.Bytes(indices.data(), indices.size());
  return w.Take();
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  return static_cast<bool>(file);
}

}  // namespace lgmd
