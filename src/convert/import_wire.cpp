#include "convert/import_wire.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "io/byte_cursor.h"

namespace importwire {

namespace {

constexpr char kMagic[4] = {'Z', 'I', 'M', 'P'};
constexpr std::uint32_t kVersion = 1;

class Sink {
 public:
  explicit Sink(std::vector<std::uint8_t>& out) : m_out(out) {}
  void U8(std::uint8_t v) { m_out.push_back(v); }
  void U32(std::uint32_t v) {
    for (int k = 0; k < 4; ++k) m_out.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
  }
  void I32(int v) { U32(static_cast<std::uint32_t>(v)); }
  void F32(float v) { U32(std::bit_cast<std::uint32_t>(v)); }
  void Text(const std::string& s) {
    const std::size_t size = std::min(s.size(), kMaxText);
    U32(static_cast<std::uint32_t>(size));
    m_out.insert(m_out.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(size));
  }
  void Bytes(const std::uint8_t* data, std::size_t size) {
    m_out.insert(m_out.end(), data, data + size);
  }
  template <std::size_t N>
  void Floats(const std::vector<std::array<float, N>>& values) {
    U32(static_cast<std::uint32_t>(values.size()));
    for (const auto& value : values) {
      for (float f : value) F32(f);
    }
  }

 private:
  std::vector<std::uint8_t>& m_out;
};

// Every read of the decoder, each failing with a reason once the bytes end
// or a value leaves its bounds; later reads then fail too.
class Source {
 public:
  Source(const std::uint8_t* data, std::size_t size) : m_cur(data, size) {}

  bool Failed() const { return !m_error.empty(); }
  const std::string& Error() const { return m_error; }
  bool Fail(const std::string& reason) {
    if (m_error.empty()) m_error = reason;
    return false;
  }

  std::uint32_t U32() {
    std::int32_t v = 0;
    if (!Failed() && !m_cur.ReadI32(v)) Fail("the importer's output ends early");
    return static_cast<std::uint32_t>(v);
  }
  std::uint8_t U8() {
    std::uint8_t v = 0;
    if (!Failed() && !m_cur.ReadU8(v)) Fail("the importer's output ends early");
    return v;
  }
  float F32() { return std::bit_cast<float>(U32()); }
  // A count of records of recordSize bytes each, checked against the bytes
  // left and the ceiling before the caller sizes anything by it.
  std::size_t Count(const char* what, std::size_t recordSize, std::size_t ceiling) {
    const std::size_t n = U32();
    if (Failed()) return 0;
    if (n > ceiling) {
      Fail(std::string("the importer's output holds too many ") + what);
      return 0;
    }
    if (recordSize != 0 && n > m_cur.Remaining() / recordSize) {
      Fail("the importer's output ends early");
      return 0;
    }
    return n;
  }
  std::string Text() {
    const std::size_t n = Count("characters", 1, kMaxText);
    const std::uint8_t* p = Failed() ? nullptr : m_cur.Take(n);
    return p == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(p), n);
  }
  const std::uint8_t* Take(std::size_t n) {
    const std::uint8_t* p = Failed() ? nullptr : m_cur.Take(n);
    if (p == nullptr) Fail("the importer's output ends early");
    return p;
  }
  template <std::size_t N>
  void Floats(const char* what, std::vector<std::array<float, N>>& values) {
    values.resize(Count(what, 4 * N, kMaxPositions));
    for (auto& value : values) {
      for (float& f : value) {
        f = F32();
        if (!std::isfinite(f)) Fail(std::string("the file holds ") + what + " that are no numbers");
      }
    }
  }
  bool AtEnd() const { return m_cur.Remaining() == 0; }

 private:
  ByteCursor m_cur;
  std::string m_error;
};

void DecodeMaterial(Source& in, ImportMaterial& m) {
  m.name = in.Text();
  for (float& c : m.color) c = in.F32();
  const std::uint8_t alpha = in.U8();
  if (alpha > static_cast<std::uint8_t>(ImportAlpha::kBlend)) in.Fail("unknown alpha mode");
  m.alpha = static_cast<ImportAlpha>(alpha);
  const std::uint32_t width = in.U32();
  const std::uint32_t height = in.U32();
  if (width > static_cast<std::uint32_t>(kMaxTextureSide) ||
      height > static_cast<std::uint32_t>(kMaxTextureSide) || (width == 0) != (height == 0)) {
    in.Fail("a texture of " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
    return;
  }
  m.width = static_cast<int>(width);
  m.height = static_cast<int>(height);
  const std::size_t bytes = std::size_t{width} * height * 4;
  if (const std::uint8_t* p = bytes == 0 ? nullptr : in.Take(bytes)) m.rgba.assign(p, p + bytes);
  m.textureProblem = in.Text();
}

void DecodeMesh(Source& in, ImportMesh& mesh, std::size_t materials, std::size_t index) {
  const std::string where = "mesh " + std::to_string(index);
  mesh.material = static_cast<int>(in.U32());
  if (mesh.material < 0 || static_cast<std::size_t>(mesh.material) >= materials) {
    in.Fail(where + " names a material that is not there");
  }
  in.Floats("positions", mesh.positions);
  in.Floats("normals", mesh.normals);
  in.Floats("texture coordinates", mesh.texCoords);
  in.Floats("vertex colours", mesh.colors);
  const std::size_t n = mesh.positions.size();
  if ((!mesh.texCoords.empty() && mesh.texCoords.size() != n) ||
      (!mesh.normals.empty() && mesh.normals.size() != n) ||
      (!mesh.colors.empty() && mesh.colors.size() != n)) {
    in.Fail(where + " has per-vertex data of another length");
  }
  mesh.faceSizes.resize(in.Count("faces", 4, kMaxIndices));
  std::size_t total = 0;
  for (std::uint32_t& size : mesh.faceSizes) {
    size = in.U32();
    if (size > kMaxIndices) in.Fail(where + " has a face of too many corners");
    total += size;
  }
  if (total > kMaxIndices) in.Fail("the importer's output holds too many corners");
  mesh.indices.resize(in.Count("corners", 4, kMaxIndices));
  if (!in.Failed() && mesh.indices.size() != total) in.Fail(where + " has faces of another length");
  for (std::uint32_t& i : mesh.indices) {
    i = in.U32();
    if (i >= n) in.Fail(where + " has indices past its " + std::to_string(n) + " positions");
  }
}

void DecodeNode(Source& in, ImportNode& node, std::size_t index, std::size_t meshes) {
  node.name = in.Text();
  node.parent = static_cast<int>(in.U32());
  if (node.parent < -1 || node.parent >= static_cast<int>(index)) {
    in.Fail("node " + std::to_string(index) + " comes before its parent");
  }
  for (float& f : node.matrix) {
    f = in.F32();
    if (!std::isfinite(f)) in.Fail("node " + std::to_string(index) + " has a broken transform");
  }
  node.meshes.resize(in.Count("mesh references", 4, kMaxItems));
  for (int& m : node.meshes) {
    m = static_cast<int>(in.U32());
    if (m < 0 || static_cast<std::size_t>(m) >= meshes)
      in.Fail("a node names a mesh that is not there");
  }
}

}  // namespace

void Encode(const ImportScene& scene, std::vector<std::uint8_t>& out) {
  Sink s(out);
  s.Bytes(reinterpret_cast<const std::uint8_t*>(kMagic), sizeof kMagic);
  s.U32(kVersion);
  s.F32(static_cast<float>(scene.unitScale));
  s.U32(static_cast<std::uint32_t>(scene.materials.size()));
  for (const ImportMaterial& m : scene.materials) {
    s.Text(m.name);
    for (float c : m.color) s.F32(c);
    s.U8(static_cast<std::uint8_t>(m.alpha));
    s.U32(static_cast<std::uint32_t>(m.width));
    s.U32(static_cast<std::uint32_t>(m.height));
    s.Bytes(m.rgba.data(), m.rgba.size());
    s.Text(m.textureProblem);
  }
  s.U32(static_cast<std::uint32_t>(scene.meshes.size()));
  for (const ImportMesh& mesh : scene.meshes) {
    s.U32(static_cast<std::uint32_t>(mesh.material));
    s.Floats(mesh.positions);
    s.Floats(mesh.normals);
    s.Floats(mesh.texCoords);
    s.Floats(mesh.colors);
    s.U32(static_cast<std::uint32_t>(mesh.faceSizes.size()));
    for (std::uint32_t size : mesh.faceSizes) s.U32(size);
    s.U32(static_cast<std::uint32_t>(mesh.indices.size()));
    for (std::uint32_t i : mesh.indices) s.U32(i);
  }
  s.U32(static_cast<std::uint32_t>(scene.nodes.size()));
  for (const ImportNode& node : scene.nodes) {
    s.Text(node.name);
    s.I32(node.parent);
    for (float f : node.matrix) s.F32(f);
    s.U32(static_cast<std::uint32_t>(node.meshes.size()));
    for (int m : node.meshes) s.I32(m);
  }
}

bool Decode(const std::uint8_t* data, std::size_t size, ImportScene& scene, std::string& error) {
  scene = ImportScene{};
  Source in(data, size);
  const std::uint8_t* magic = in.Take(sizeof kMagic);
  if (magic == nullptr || std::memcmp(magic, kMagic, sizeof kMagic) != 0 || in.U32() != kVersion) {
    error = "the importer gave no model";
    return false;
  }
  scene.unitScale = in.F32();
  if (!std::isfinite(scene.unitScale) || scene.unitScale <= 0.0)
    in.Fail("the file's unit is no size");
  // The smallest record of each kind bounds its count by the bytes left.
  scene.materials.resize(in.Count("materials", 29, kMaxItems));
  for (ImportMaterial& m : scene.materials) DecodeMaterial(in, m);
  scene.meshes.resize(in.Count("meshes", 24, kMaxItems));
  for (std::size_t i = 0; i < scene.meshes.size() && !in.Failed(); ++i) {
    DecodeMesh(in, scene.meshes[i], scene.materials.size(), i);
  }
  scene.nodes.resize(in.Count("nodes", 76, kMaxItems));
  for (std::size_t i = 0; i < scene.nodes.size() && !in.Failed(); ++i) {
    DecodeNode(in, scene.nodes[i], i, scene.meshes.size());
  }
  if (!in.Failed() && !in.AtEnd()) in.Fail("the importer's output goes on past the model");
  if (in.Failed()) {
    error = in.Error();
    scene = ImportScene{};
    return false;
  }
  return true;
}

}  // namespace importwire
