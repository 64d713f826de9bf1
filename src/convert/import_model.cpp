#include "convert/import_model.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>

#include "convert/import_parts.h"
#include "io/text.h"
#include "model/lgmd_layout.h"
#include "model/mip_file.h"
#include "model/palette_files.h"
#include "model/texture_convert.h"

namespace {

using importparts::Part;
using importparts::Parts;

// The limits of the format, as the messages name them.
constexpr std::size_t kMaxVertices = lgmdfile::kMaxIndex;
constexpr std::size_t kMaxPolygons = lgmdfile::kMaxIndex;
// Material ids are bytes and the last one means "no material".
constexpr std::size_t kMaxMaterials = lgmdfile::kNoMaterialId;
// The header counts objects in a byte, the root included.
constexpr int kMaxSubObjects = 254;
// The version the program's own models are written in.
constexpr int kImportVersion = lgmdfile::kVersionWithPolygonPad;
// Colours merged for --simplify: levels per channel, fewer until they fit.
constexpr int kMergeLevels = 6;
constexpr const char* kSeeThroughPrefix = "t_";

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string TooMany(std::size_t count, const char* what, std::size_t limit) {
  return "has " + GroupedCount(count) + " " + what + "; an LGMD model holds at most " +
         std::to_string(limit);
}

// Names become file names (a textured material's ".mip") and are found
// again ignoring case, so they keep to letters, digits, '-' and '_', fit
// their field and differ from each other in more than case.
class NameFitter {
 public:
  std::string Fit(const std::string& wanted, std::size_t width, const std::string& prefix = {}) {
    std::string base;
    for (unsigned char c : wanted) {
      const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                         (c >= '0' && c <= '9') || c == '-' || c == '_';
      base += plain ? static_cast<char>(c) : '_';
    }
    // Only see-through materials may look like one.
    while (base.size() >= 2 && LowerAscii(base.substr(0, 2)) == kSeeThroughPrefix) base.erase(0, 2);
    if (base.empty()) base = "unnamed";
    base = prefix + base;
    std::string name = base.substr(0, width);
    for (int n = 2; m_used.count(LowerAscii(name)) != 0; ++n) {
      const std::string tail = std::to_string(n);
      name = base.substr(0, width - tail.size()) + tail;
    }
    m_used.insert(LowerAscii(name));
    return name;
  }

 private:
  std::set<std::string> m_used;
};

struct MaterialPlan {
  int source = -1;  // the scene's material; -1 for a merged colour
  bool textured = false;
  bool seeThrough = false;
  std::array<float, 4> color{};
};

std::array<float, 4> ShownColor(const ImportMaterial& m, const Parts& parts, std::size_t index) {
  std::array<float, 4> c = m.color;
  if (parts.colorCounts[index] != 0) {
    for (int k = 0; k < 4; ++k) {
      c[static_cast<std::size_t>(k)] *=
          static_cast<float>(parts.colorSums[index][static_cast<std::size_t>(k)] /
                             static_cast<double>(parts.colorCounts[index]));
    }
  }
  return c;
}

// One LGMD material per scene material the polygons use; more than the
// format holds are merged by nearest colour when the user allows it.
bool PlanMaterials(const ImportScene& scene, const Parts& parts, bool simplify,
                   std::vector<MaterialPlan>& plans, std::vector<int>& planOf,
                   ImportResult& result) {
  std::vector<bool> used(scene.materials.size(), false);
  for (const Part& part : parts.parts) {
    for (int m : part.materials) used[static_cast<std::size_t>(m)] = true;
  }
  planOf.assign(scene.materials.size(), -1);
  // Files often repeat one material per mesh; repeats share one.
  std::multimap<std::string, int> byName;
  for (std::size_t i = 0; i < scene.materials.size(); ++i) {
    if (!used[i]) continue;
    const ImportMaterial& m = scene.materials[i];
    MaterialPlan plan;
    plan.source = static_cast<int>(i);
    plan.textured = !m.rgba.empty();
    plan.seeThrough = plan.textured && m.alpha != ImportAlpha::kOpaque;
    plan.color = ShownColor(m, parts, i);
    const auto [first, last] = byName.equal_range(m.name);
    for (auto it = first; it != last && planOf[i] < 0; ++it) {
      const MaterialPlan& other = plans[static_cast<std::size_t>(it->second)];
      const ImportMaterial& o = scene.materials[static_cast<std::size_t>(other.source)];
      if (other.color == plan.color && o.alpha == m.alpha && o.width == m.width &&
          o.rgba == m.rgba) {
        planOf[i] = it->second;
      }
    }
    if (planOf[i] >= 0) continue;
    planOf[i] = static_cast<int>(plans.size());
    byName.emplace(m.name, planOf[i]);
    plans.push_back(plan);
  }
  if (plans.size() <= kMaxMaterials) return true;
  if (!simplify) {
    result.status = ImportStatus::kTooLarge;
    result.reason = TooMany(plans.size(), "materials", kMaxMaterials);
    return false;
  }
  // Textured materials stay while there is room; the colour ones (and
  // textured ones past the room) share a colour per cell of a grid, coarser
  // until they fit.
  std::size_t textured = 0;
  for (MaterialPlan& plan : plans) {
    if (plan.textured && ++textured > kMaxMaterials / 2) plan.textured = plan.seeThrough = false;
  }
  for (int levels = kMergeLevels; levels > 1; --levels) {
    std::vector<MaterialPlan> merged;
    std::map<std::array<int, 3>, int> cell;
    std::vector<int> mergedOf(plans.size());
    for (std::size_t i = 0; i < plans.size(); ++i) {
      const MaterialPlan& plan = plans[i];
      if (plan.textured) {
        mergedOf[i] = static_cast<int>(merged.size());
        merged.push_back(plan);
        continue;
      }
      std::array<int, 3> key{};
      for (int k = 0; k < 3; ++k) {
        key[static_cast<std::size_t>(k)] = static_cast<int>(std::lround(
            std::clamp(plan.color[static_cast<std::size_t>(k)], 0.0f, 1.0f) * (levels - 1)));
      }
      const auto [it, fresh] = cell.emplace(key, static_cast<int>(merged.size()));
      if (fresh) {
        MaterialPlan colour;
        for (int k = 0; k < 3; ++k) {
          colour.color[static_cast<std::size_t>(k)] =
              static_cast<float>(key[static_cast<std::size_t>(k)]) / static_cast<float>(levels - 1);
        }
        colour.color[3] = 1.0f;
        merged.push_back(colour);
      }
      mergedOf[i] = it->second;
    }
    if (merged.size() > kMaxMaterials) continue;
    for (int& p : planOf) {
      if (p >= 0) p = mergedOf[static_cast<std::size_t>(p)];
    }
    result.notes.push_back(GroupedCount(plans.size()) + " materials merged into " +
                           std::to_string(merged.size()) + " by colour");
    plans = std::move(merged);
    return true;
  }
  result.status = ImportStatus::kTooLarge;
  result.reason = TooMany(plans.size(), "materials", kMaxMaterials);
  return false;
}

float Channel(float value) { return std::clamp(value, 0.0f, 1.0f); }

// The texture as the material shows it: the picture times the base colour.
std::vector<std::uint8_t> TintedPixels(const ImportMaterial& m) {
  std::vector<std::uint8_t> rgba = m.rgba;
  if (m.color == std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}) return rgba;
  for (std::size_t i = 0; i < rgba.size(); ++i) {
    const float factor = Channel(m.color[i % 4]);
    rgba[i] = static_cast<std::uint8_t>(std::lround(rgba[i] * factor));
  }
  return rgba;
}

void FillMaterials(const ImportScene& scene, const std::vector<MaterialPlan>& plans,
                   const ImportOptions& options, const std::vector<PaletteEntry>& palette,
                   ImportedModel& out, ImportResult& result) {
  NameFitter names;
  int textureNumber = 0;
  for (std::size_t i = 0; i < plans.size(); ++i) {
    const MaterialPlan& plan = plans[i];
    const std::string wanted = plan.source >= 0
                                   ? scene.materials[static_cast<std::size_t>(plan.source)].name
                                   : "colour" + std::to_string(i);
    Material material;
    material.strName =
        names.Fit(wanted, lgmdfile::kMaterialNameWidth, plan.seeThrough ? kSeeThroughPrefix : "");
    if (plan.source >= 0 && material.strName != wanted) {
      result.notes.push_back("material " + Quoted(wanted) + " is named " +
                             Quoted(material.strName));
    }
    material.nId = static_cast<int>(i);
    if (plan.textured) {
      const ImportMaterial& source = scene.materials[static_cast<std::size_t>(plan.source)];
      material.nKind = kTexturedKind;
      material.nTexNumber = textureNumber++;
      material.fColor[3] = plan.seeThrough ? 0.0f : 1.0f;
      mip::QuantizeOptions quantize;
      quantize.seeThrough = plan.seeThrough;
      const auto indices = mip::QuantizeToPalette(TintedPixels(source), source.width, source.height,
                                                  palette, quantize);
      out.textures.push_back({mip::FileNameFor(material.strName),
                              mip::EncodeMip(source.width, source.height, indices)});
    } else {
      material.nKind = kColourKind;
      // Region 0 shows a file's colours with red and blue exchanged, so
      // they are stored exchanged for it to show them as they were.
      const bool swap = options.palette == kSanFranciscoRegion;
      material.fColor[0] = Channel(plan.color[swap ? 2 : 0]);
      material.fColor[1] = Channel(plan.color[1]);
      material.fColor[2] = Channel(plan.color[swap ? 0 : 2]);
      if (plan.source >= 0) {
        const std::string& problem =
            scene.materials[static_cast<std::size_t>(plan.source)].textureProblem;
        if (!problem.empty())
          result.notes.push_back("texture of " + Quoted(wanted) + ": " + problem);
      }
    }
    out.content.m_vecMaterials.push_back(material);
  }
}

std::array<double, 3> ModelPoint(const Part& part, int corner) {
  return importparts::Apply(part.toModel, part.positions[static_cast<std::size_t>(corner)]);
}

// The normal of the side the viewer shows: the corners run clockwise seen
// from it, so the right-hand normal is turned round.
std::array<double, 3> ShownNormal(const Part& part, const int* corners, int count) {
  std::array<double, 3> n{0, 0, 0};
  for (int i = 0; i < count; ++i) {
    const auto a = ModelPoint(part, corners[i]);
    const auto b = ModelPoint(part, corners[(i + 1) % count]);
    n[0] += (a[1] - b[1]) * (a[2] + b[2]);
    n[1] += (a[2] - b[2]) * (a[0] + b[0]);
    n[2] += (a[0] - b[0]) * (a[1] + b[1]);
  }
  const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (length > 0.0) {
    for (double& v : n) v = -v / length;
  }
  return n;
}

void FillSubObject(const Part& part, int parent, int first, ModelContent& content,
                   ImportResult& result) {
  SubObject object;
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 3; ++r)
      object.fMatrix[3 * c + r] = static_cast<float>(
          part.toParent[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
  }
  object.nParent = parent;
  object.nFirst = first;
  object.nLast = first + static_cast<int>(part.positions.size()) - 1;
  // Object names are only shown, never made into paths: cut to their field.
  std::string name = part.name.substr(0, lgmdfile::kObjectNameWidth);
  name = name.substr(0, name.find('\0'));
  if (name != part.name)
    result.notes.push_back("object " + Quoted(part.name) + " is named " + Quoted(name));
  std::copy(name.begin(), name.end(), object.byRecord.begin());
  content.m_vecSubObjects.push_back(object);
}

// Appends one part's vertices and polygons; the vertices of a part are a
// block of their own, whose first one opens the part's first polygon.
// Texture coordinates are a table the corners index; equal ones share an
// entry.
using TexCoordTable = std::map<std::pair<float, float>, int>;

void AddPart(const Part& part, const std::vector<int>& planOf, TexCoordTable& table,
             ModelContent& content) {
  const int base = static_cast<int>(content.m_vecVertices.size());
  for (const std::array<float, 3>& p : part.positions) {
    Vertex v;
    v.x = p[0];
    v.y = p[1];
    v.z = p[2];
    content.m_vecVertices.push_back(v);
  }
  std::size_t at = 0;
  std::vector<int> indices;
  std::vector<int> texIndices;
  for (std::size_t p = 0; p < part.cornerCounts.size(); ++p) {
    const int count = part.cornerCounts[p];
    const int* corners = part.corners.data() + at;
    at += static_cast<std::size_t>(count);
    const int materialIndex = planOf[static_cast<std::size_t>(part.materials[p])];
    Material& material = content.m_vecMaterials[static_cast<std::size_t>(materialIndex)];
    Polygon polygon;
    polygon.nVerts = count;
    indices.assign(corners, corners + count);
    for (int& index : indices) index += base;
    texIndices.clear();
    for (int c = 0; c < count; ++c) {
      const std::array<float, 2>& uv =
          part.cornerTexCoords[at - static_cast<std::size_t>(count) + static_cast<std::size_t>(c)];
      const auto [it, fresh] =
          table.emplace(std::make_pair(uv[0], uv[1]), static_cast<int>(table.size()));
      if (fresh) content.m_vecTexCoords.push_back({uv[0], uv[1]});
      texIndices.push_back(it->second);
    }
    polygon.vecVertIdx = content.m_indexPool.Add(indices);
    polygon.vecAuxIdx = polygon.vecVertIdx;
    polygon.vecTexIdx = content.m_indexPool.Add(texIndices);
    polygon.nMaterialId = material.nId;
    polygon.byFlags = material.nKind == kColourKind ? lgmdfile::kColourMaterialFlag : 0;
    polygon.pMaterial = &material;
    const std::array<double, 3> normal = ShownNormal(part, corners, count);
    std::copy(normal.begin(), normal.end(), polygon.dNormal);
    polygon.nNormalIndex = static_cast<int>(content.m_vecNormals.size());
    Vertex tableEntry;
    tableEntry.x = static_cast<float>(normal[0]);
    tableEntry.y = static_cast<float>(normal[1]);
    tableEntry.z = static_cast<float>(normal[2]);
    content.m_vecNormals.push_back(tableEntry);
    // A vertex is lit with the plain average of the normals of the faces
    // that use it, as the reader makes it.
    for (int index : indices) {
      Vertex& v = content.m_vecVertices[static_cast<std::size_t>(index)];
      v.nx += tableEntry.x;
      v.ny += tableEntry.y;
      v.nz += tableEntry.z;
      ++v.nCount;
    }
    content.m_vecPolygons.push_back(polygon);
  }
}

void FillGeometry(const Parts& parts, const std::vector<int>& planOf, ModelContent& content,
                  ImportResult& result) {
  TexCoordTable table;
  for (const Part& part : parts.parts) {
    if (part.body) AddPart(part, planOf, table, content);
  }
  // Sub-objects in part order, empty parts left out: a child of one hangs
  // from its nearest kept ancestor, through the frames between.
  std::vector<int> objectOf(parts.parts.size(), -1);
  for (std::size_t i = 0; i < parts.parts.size(); ++i) {
    Part part = parts.parts[i];
    if (part.body || part.cornerCounts.empty()) continue;
    while (part.parent >= 0 && objectOf[static_cast<std::size_t>(part.parent)] < 0) {
      const Part& skipped = parts.parts[static_cast<std::size_t>(part.parent)];
      part.toParent = importparts::Multiply(skipped.toParent, part.toParent);
      part.parent = skipped.parent;
    }
    const int parent = part.parent < 0 ? -1 : objectOf[static_cast<std::size_t>(part.parent)];
    objectOf[i] = static_cast<int>(content.m_vecSubObjects.size());
    FillSubObject(part, parent, static_cast<int>(content.m_vecVertices.size()), content, result);
    AddPart(part, planOf, table, content);
  }
  AverageVertexNormals(content.m_vecVertices);
  // The box of the positions as stored, as the reader keeps it.
  if (!content.m_vecVertices.empty())
    content.m_ptMin = content.m_ptMax = content.m_vecVertices.front();
  for (const Vertex& v : content.m_vecVertices) {
    content.m_ptMin.x = std::min(content.m_ptMin.x, v.x);
    content.m_ptMin.y = std::min(content.m_ptMin.y, v.y);
    content.m_ptMin.z = std::min(content.m_ptMin.z, v.z);
    content.m_ptMax.x = std::max(content.m_ptMax.x, v.x);
    content.m_ptMax.y = std::max(content.m_ptMax.y, v.y);
    content.m_ptMax.z = std::max(content.m_ptMax.z, v.z);
  }
}

std::string FittedModelName(const std::string& wanted, ImportResult& result) {
  std::string name;
  for (unsigned char c : wanted) {
    if (name.size() == lgmdfile::kModelNameWidth) break;
    name += c >= 0x20 && c < 0x7f ? static_cast<char>(c) : '_';
  }
  if (name != wanted)
    result.notes.push_back("the model " + Quoted(wanted) + " is named " + Quoted(name));
  return name;
}

}  // namespace

std::string GroupedCount(std::size_t count) {
  const std::string digits = std::to_string(count);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

ImportResult BuildImportedModel(const ImportScene& scene, const ImportOptions& options,
                                const std::vector<PaletteEntry>& palette, ImportedModel& out) {
  ImportResult result;
  out = ImportedModel{};
  Parts parts = importparts::GatherParts(scene, scene.unitScale * options.scale, kMaxSubObjects);
  for (Part& part : parts.parts) importparts::Renumber(part);
  if (importparts::CountPolygons(parts) == 0) {
    result.status = ImportStatus::kNoPolygons;
    result.reason = "the file holds no polygons";
    return result;
  }
  if (parts.flattened > 0) {
    result.notes.push_back(std::to_string(parts.flattened) +
                           " parts joined the body, as a model holds at most " +
                           std::to_string(kMaxSubObjects) + " sub-objects");
  }
  const std::size_t vertices = importparts::CountVertices(parts);
  const std::size_t polygons = importparts::CountPolygons(parts);
  if (vertices > kMaxVertices || polygons > kMaxPolygons) {
    if (!options.simplify) {
      result.status = ImportStatus::kTooLarge;
      result.reason = vertices > kMaxVertices ? TooMany(vertices, "vertices", kMaxVertices)
                                              : TooMany(polygons, "polygons", kMaxPolygons);
      return result;
    }
    if (!importparts::Simplify(parts, kMaxVertices, kMaxPolygons)) {
      result.status = ImportStatus::kTooLarge;
      result.reason =
          TooMany(vertices, "vertices", kMaxVertices) + ", and it cannot be simplified to fit";
      return result;
    }
    result.notes.push_back("simplified from " + GroupedCount(vertices) + " vertices and " +
                           GroupedCount(polygons) + " polygons to " +
                           GroupedCount(importparts::CountVertices(parts)) + " and " +
                           GroupedCount(importparts::CountPolygons(parts)));
  }
  std::vector<MaterialPlan> plans;
  std::vector<int> planOf;
  if (!PlanMaterials(scene, parts, options.simplify, plans, planOf, result)) return result;

  ModelContent& content = out.content;
  content.m_strName = FittedModelName(options.name, result);
  content.m_nVersion = kImportVersion;
  FillMaterials(scene, plans, options, palette, out, result);
  FillGeometry(parts, planOf, content, result);
  content.m_nVertices = static_cast<int>(content.m_vecVertices.size());
  content.m_nPolygons = static_cast<int>(content.m_vecPolygons.size());
  content.m_nMaterials = static_cast<int>(content.m_vecMaterials.size());
  content.m_nSubObjects = static_cast<int>(content.m_vecSubObjects.size());
  if (content.m_vecTexCoords.size() > kMaxVertices + 1) {
    result.status = ImportStatus::kTooLarge;
    result.reason = TooMany(content.m_vecTexCoords.size(), "texture coordinates", kMaxVertices + 1);
  }
  return result;
}
