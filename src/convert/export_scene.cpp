#include "convert/export_scene.h"

#include "io/text.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <map>
#include <set>
#include <unordered_map>

#include "model/model.h"
#include "model/placement.h"

namespace {

constexpr int kTexturedKind = 0;
constexpr int kColourKind = 1;
constexpr int kMinCorners = 3;
// A normal shorter than this has no direction worth keeping.
constexpr double kMinNormalLength = 1e-12;
constexpr std::array<float, 3> kFallbackNormal = {0.0f, 1.0f, 0.0f};
constexpr const char* kObjectNamePrefix = "object ";

bool IsFinite(const std::array<float, 3>& v) {
  return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

// Unit length, or false when the vector has no usable direction.
bool Normalise(double x, double y, double z, std::array<float, 3>& out) {
  const double length = std::sqrt(x * x + y * y + z * z);
  if (!std::isfinite(length) || length < kMinNormalLength) return false;
  out = {static_cast<float>(x / length), static_cast<float>(y / length),
         static_cast<float>(z / length)};
  return true;
}

// The material of a polygon as an index into m_vecMaterials, or -1 for none.
// pMaterial points into that array; anything else counts as no material.
int MaterialIndex(const CModel& model, const Polygon& polygon) {
  const Material* material = polygon.pMaterial;
  if (material == nullptr || model.Materials().empty()) return -1;
  const Material* first = model.Materials().data();
  const Material* end = first + model.Materials().size();
  if (std::less<const Material*>()(material, first) ||
      !std::less<const Material*>()(material, end)) {
    return -1;
  }
  return static_cast<int>(material - first);
}

// The texture the viewer binds for a material, or null: a textured material
// whose image was read. A missing file leaves the entry without pixels, and
// the viewer then draws the polygon white and untextured.
const TextureEntry* TextureOf(const CModel& model, const Material& material) {
  if (material.nKind != kTexturedKind) return nullptr;
  const int index = material.nTexIndex;
  if (index < 0 || index >= static_cast<int>(model.Textures().size())) return nullptr;
  const TextureEntry& entry = model.Textures()[static_cast<std::size_t>(index)];
  if (!entry.pPixels || entry.nWidth <= 0 || entry.nHeight <= 0) return nullptr;
  return &entry;
}

ExportImage ConvertImage(const std::string& name, const TextureEntry& entry) {
  ExportImage image;
  image.name = name;
  image.width = entry.nWidth;
  image.height = entry.nHeight;
  image.transparent = entry.bTransparent;
  const std::size_t pixels = static_cast<std::size_t>(entry.nWidth) * entry.nHeight;
  image.rgba.resize(pixels * 4);
  const std::uint8_t* bgra = entry.pPixels.get();
  for (std::size_t i = 0; i < pixels; ++i) {
    image.rgba[i * 4 + 0] = bgra[i * 4 + 2];
    image.rgba[i * 4 + 1] = bgra[i * 4 + 1];
    image.rgba[i * 4 + 2] = bgra[i * 4 + 0];
    image.rgba[i * 4 + 3] = bgra[i * 4 + 3];
  }
  return image;
}

// The material as the viewer draws it: a colour material its own colour
// (its alpha plays no part), a textured one white under its texture, any
// other kind and a textured one without an image plain white, and a polygon
// with no material the model's default colour.
ExportMaterial DescribeMaterial(const CModel& model, int materialIndex, ExportScene& scene) {
  ExportMaterial out;
  if (materialIndex < 0) {
    out.name = kNoMaterialName;
    out.color = {static_cast<float>(model.DefaultColor()[0]),
                 static_cast<float>(model.DefaultColor()[1]),
                 static_cast<float>(model.DefaultColor()[2])};
    return out;
  }
  const Material& material = model.Materials()[static_cast<std::size_t>(materialIndex)];
  out.name = Latin1ToUtf8(material.strName, true);
  if (material.nKind == kColourKind) {
    out.color = {material.fColor[0], material.fColor[1], material.fColor[2]};
  } else if (const TextureEntry* texture = TextureOf(model, material)) {
    out.image = static_cast<int>(scene.images.size());
    scene.images.push_back(ConvertImage(out.name, *texture));
  }
  return out;
}

// Collects the corners of one node and material, sharing a vertex between
// triangles when position, normal and texture coordinate all agree.
class PrimitiveBuilder {
 public:
  explicit PrimitiveBuilder(int material) { m_primitive.material = material; }

  // key identifies the corner's data; a corner whose normal belongs to its
  // polygon alone passes shareable false.
  std::uint32_t Add(std::uint64_t key, bool shareable, const ExportVertex& vertex) {
    if (shareable) {
      const auto found = m_shared.find(key);
      if (found != m_shared.end()) return found->second;
    }
    const auto index = static_cast<std::uint32_t>(m_primitive.vertices.size());
    m_primitive.vertices.push_back(vertex);
    if (shareable) m_shared.emplace(key, index);
    return index;
  }

  void AddTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    m_primitive.indices.insert(m_primitive.indices.end(), {a, b, c});
  }

  ExportPrimitive Take() { return std::move(m_primitive); }

 private:
  ExportPrimitive m_primitive;
  std::unordered_map<std::uint64_t, std::uint32_t> m_shared;
};

// The corners the viewer draws: those whose vertex index is valid.
std::vector<int> DrawnCorners(const CModel& model, const Polygon& polygon) {
  std::vector<int> corners;
  const std::size_t count =
      std::min(static_cast<std::size_t>(std::max(polygon.nVerts, 0)), polygon.vecVertIdx.size());
  for (std::size_t j = 0; j < count; ++j) {
    const int index = polygon.vecVertIdx[j];
    if (index >= 0 && static_cast<std::size_t>(index) < model.Vertices().size()) {
      corners.push_back(static_cast<int>(j));
    }
  }
  return corners;
}

const Vertex& CornerVertex(const CModel& model, const Polygon& polygon, int corner) {
  return model.Vertices()[static_cast<std::size_t>(polygon.vecVertIdx[corner])];
}

// The normal of the side the viewer shows. Shown faces run clockwise, so
// the right-hand normal of the corners in stored order (Newell's sum) points
// away from the eye and is turned round.
std::array<float, 3> ShownFaceNormal(const CModel& model, const Polygon& polygon,
                                     const std::vector<int>& corners) {
  double n[3] = {0.0, 0.0, 0.0};
  for (std::size_t i = 0; i < corners.size(); ++i) {
    const Vertex& a = CornerVertex(model, polygon, corners[i]);
    const Vertex& b = CornerVertex(model, polygon, corners[(i + 1) % corners.size()]);
    n[0] += (static_cast<double>(a.y) - b.y) * (static_cast<double>(a.z) + b.z);
    n[1] += (static_cast<double>(a.z) - b.z) * (static_cast<double>(a.x) + b.x);
    n[2] += (static_cast<double>(a.x) - b.x) * (static_cast<double>(a.y) + b.y);
  }
  std::array<float, 3> out = kFallbackNormal;
  Normalise(-n[0], -n[1], -n[2], out);
  return out;
}

// Adds one polygon as the viewer draws it: a fan around its first corner,
// each triangle with its corners reversed, so that the side shown (clockwise
// on screen) becomes the counter-clockwise front face.
void AddPolygon(const CModel& model, const Polygon& polygon, bool textured,
                PrimitiveBuilder& builder) {
  const std::vector<int> corners = DrawnCorners(model, polygon);
  if (corners.size() < static_cast<std::size_t>(kMinCorners)) return;
  for (int corner : corners) {
    const Vertex& v = CornerVertex(model, polygon, corner);
    if (!IsFinite({v.x, v.y, v.z})) return;  // nothing sensible to draw
  }

  std::vector<std::uint32_t> ids;
  std::array<float, 3> faceNormal{};
  bool haveFaceNormal = false;
  for (int corner : corners) {
    const int vertexIndex = polygon.vecVertIdx[corner];
    const Vertex& v = CornerVertex(model, polygon, corner);
    ExportVertex out;
    out.position = {v.x, v.y, v.z};
    // The viewer lights with the vertex normal as stored: an average of
    // face normals, in the sub-object's own frame. Interchange formats want
    // unit normals; one without a direction takes the face's.
    const bool ownNormal = Normalise(v.nx, v.ny, v.nz, out.normal);
    if (!ownNormal) {
      if (!haveFaceNormal) faceNormal = ShownFaceNormal(model, polygon, corners);
      haveFaceNormal = true;
      out.normal = faceNormal;
    }
    int texKey = -1;
    if (textured && static_cast<std::size_t>(corner) < polygon.vecTexIdx.size()) {
      const int texIndex = polygon.vecTexIdx[corner];
      if (texIndex >= 0 && static_cast<std::size_t>(texIndex) < model.TexCoords().size()) {
        const TexCoord& t = model.TexCoords()[static_cast<std::size_t>(texIndex)];
        if (std::isfinite(t.u) && std::isfinite(t.v)) {
          out.texCoord = {t.u, t.v};
          texKey = texIndex;
        }
      }
    }
    const std::uint64_t key =
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(vertexIndex)) << 32) |
        static_cast<std::uint32_t>(texKey);
    ids.push_back(builder.Add(key, ownNormal, out));
  }
  for (std::size_t i = 1; i + 1 < ids.size(); ++i) builder.AddTriangle(ids[0], ids[i + 1], ids[i]);
}

}  // namespace

ExportScene BuildExportScene(const CModel& model) {
  ExportScene scene;
  scene.name = Latin1ToUtf8(model.Name(), true);
  const std::vector<int> owners = SubObjectOfEachPolygon(model.Content());
  const std::size_t materialCount = model.Materials().size();

  // Materials in file order, the default colour last, each only when a
  // polygon uses it. Slot materialCount stands for "no material".
  std::vector<bool> used(materialCount + 1, false);
  for (const Polygon& polygon : model.Polygons()) {
    const int index = MaterialIndex(model, polygon);
    used[index < 0 ? materialCount : static_cast<std::size_t>(index)] = true;
  }
  std::vector<int> slotOf(materialCount + 1, -1);
  for (std::size_t i = 0; i <= materialCount; ++i) {
    if (!used[i]) continue;
    slotOf[i] = static_cast<int>(scene.materials.size());
    const int materialIndex = i == materialCount ? -1 : static_cast<int>(i);
    scene.materials.push_back(DescribeMaterial(model, materialIndex, scene));
  }

  scene.nodes.resize(model.SubObjects().size() + 1);
  scene.nodes[0].name = kBodyNodeName;
  for (std::size_t k = 0; k < model.SubObjects().size(); ++k) {
    ExportNode& node = scene.nodes[k + 1];
    const SubObject& object = model.SubObjects()[k];
    node.name = kObjectNamePrefix + std::to_string(k);
    node.subObject = static_cast<int>(k);
    std::copy(std::begin(object.fMatrix), std::end(object.fMatrix), node.matrix.begin());
    node.parent = object.nParent;
  }

  // Per node, one builder per material slot, in slot order.
  std::vector<std::map<int, PrimitiveBuilder>> builders(scene.nodes.size());
  for (std::size_t i = 0; i < model.Polygons().size(); ++i) {
    const Polygon& polygon = model.Polygons()[i];
    const int index = MaterialIndex(model, polygon);
    const int slot = slotOf[index < 0 ? materialCount : static_cast<std::size_t>(index)];
    const std::size_t node =
        owners[i] == kNoSubObject ? 0 : static_cast<std::size_t>(owners[i]) + 1;
    auto& perSlot = builders[node];
    auto it = perSlot.try_emplace(slot, slot).first;
    AddPolygon(model, polygon, scene.materials[static_cast<std::size_t>(slot)].image >= 0,
               it->second);
  }
  for (std::size_t n = 0; n < scene.nodes.size(); ++n) {
    for (auto& [slot, builder] : builders[n]) {
      ExportPrimitive primitive = builder.Take();
      if (!primitive.indices.empty()) scene.nodes[n].primitives.push_back(std::move(primitive));
    }
  }
  return scene;
}

std::size_t CountTriangles(const ExportScene& scene) {
  std::size_t triangles = 0;
  for (const ExportNode& node : scene.nodes) {
    for (const ExportPrimitive& primitive : node.primitives)
      triangles += primitive.indices.size() / 3;
  }
  return triangles;
}

// A sanitised name never holds a dot, so "<stem>.<material>.png" splits
// back one way only: model "x" with material "y_z" and model "x_y" with
// material "z" cannot both name "x_y_z.png" in one batch.
constexpr const char* kTextureSeparator = ".";

std::vector<std::string> TexturePaths(const ExportScene& scene, const std::string& outPath) {
  std::vector<std::string> names;
  for (const ExportImage& image : scene.images) names.push_back(image.name);
  const std::string stem = PathStem(outPath);
  std::vector<std::string> paths;
  for (const std::string& safe : SafeUniqueNames(names))
    paths.push_back(stem + kTextureSeparator + safe + ".png");
  return paths;
}

std::vector<std::string> SafeUniqueNames(const std::vector<std::string>& names) {
  std::vector<std::string> out;
  std::set<std::string> taken;  // lower case: some file systems ignore case
  for (const std::string& name : names) {
    std::string safe;
    for (char c : name) {
      const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '-' || c == '_';
      safe += keep ? c : '_';
    }
    if (safe.empty()) safe = "unnamed";
    std::string candidate = safe;
    for (int n = 2; taken.count(LowerAscii(candidate)) != 0; ++n)
      candidate = safe + "_" + std::to_string(n);
    taken.insert(LowerAscii(candidate));
    out.push_back(candidate);
  }
  return out;
}
