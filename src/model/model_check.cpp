#include "model/model_check.h"

#include <array>
#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "io/printable_name.h"
#include "model/lgmd_layout.h"
#include "model/mip_file.h"
#include "model/model.h"
#include "model/placement.h"

namespace {

// The largest texture side the simulator's own renderer takes.
constexpr int kLargestGoodTextureSide = 256;

class Checker {
 public:
  Checker(const CModel& model, std::vector<CheckProblem>& problems)
      : m_model(model), m_problems(problems) {}

  void Run() {
    CheckNames();
    CheckMaterialsAndTextures();
    CheckPolygons();
    CheckSubObjects();
  }

 private:
  void Add(CheckLevel level, std::string where, std::string what) {
    m_problems.push_back({level, std::move(where), std::move(what)});
  }
  std::string MaterialPlace(std::size_t j) const {
    return "material " + std::to_string(j) + " \"" + PrintableName(m_model.Materials()[j].strName) +
           "\"";
  }

  // The reader takes a name that fills its whole field without an end; a
  // tool that wrote a longer name has cut it there.
  void CheckNames() {
    if (m_model.Name().size() == lgmdfile::kModelNameWidth) {
      Add(CheckLevel::Warning, "the model",
          "the name fills all 8 bytes of its field: a longer name would have been cut short");
    }
    for (std::size_t j = 0; j < m_model.Materials().size(); ++j) {
      if (m_model.Materials()[j].strName.size() == lgmdfile::kMaterialNameWidth) {
        Add(CheckLevel::Warning, MaterialPlace(j),
            "the name fills all 16 bytes of its field: a longer name would have been cut short");
      }
    }
  }

  // Each texture file is reported once, at the first material naming it.
  void CheckMaterialsAndTextures() {
    std::vector<bool> used(m_model.Materials().size(), false);
    for (const Polygon& p : m_model.Polygons()) {
      if (p.pMaterial != nullptr)
        used[static_cast<std::size_t>(p.pMaterial - m_model.Materials().data())] = true;
    }
    std::set<std::string> reported;
    for (std::size_t j = 0; j < m_model.Materials().size(); ++j) {
      const Material& material = m_model.Materials()[j];
      if (!used[j]) Add(CheckLevel::Warning, MaterialPlace(j), "no polygon uses it");
      if (material.nKind != kTexturedKind || material.nTexIndex < 0 ||
          material.nTexIndex >= static_cast<int>(m_model.Textures().size())) {
        continue;
      }
      const std::string file = mip::FileNameFor(material.strName);
      if (!reported.insert(file).second) continue;
      const TextureEntry& entry = m_model.Textures()[static_cast<std::size_t>(material.nTexIndex)];
      const std::string texture = "texture " + PrintableName(file);
      if (entry.pPixels == nullptr) {
        Add(CheckLevel::Error, MaterialPlace(j),
            texture + " cannot be read: " + entry.strMissingReason);
        continue;
      }
      CheckTextureSize(MaterialPlace(j), texture, entry.nWidth, entry.nHeight);
    }
  }

  void CheckTextureSize(const std::string& where, const std::string& texture, int width,
                        int height) {
    const auto powerOfTwo = [](int side) { return side > 0 && (side & (side - 1)) == 0; };
    const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (width > kLargestGoodTextureSide || height > kLargestGoodTextureSide) {
      Add(CheckLevel::Warning, where, texture + " is " + size + ", larger than 256 a side");
    }
    if (!powerOfTwo(width) || !powerOfTwo(height)) {
      Add(CheckLevel::Warning, where, texture + " is " + size + ", a side not a power of two");
    }
  }

  void CheckPolygons() {
    for (std::size_t k = 0; k < m_model.Polygons().size(); ++k) {
      const Polygon& p = m_model.Polygons()[k];
      const std::string where = "polygon " + std::to_string(k);
      if (p.nMaterialId != lgmdfile::kNoMaterialId && p.pMaterial == nullptr) {
        const bool colour = (p.byFlags & lgmdfile::kColourMaterialFlag) != 0;
        Add(CheckLevel::Error, where,
            "material id " + std::to_string(p.nMaterialId) + " matches no " +
                (colour ? "colour" : "textured") + " material");
      }
      if (p.nVerts < 3) {
        Add(CheckLevel::Warning, where, std::to_string(p.nVerts) + " corners: fewer than 3");
      }
      const std::set<int> distinct(p.vecVertIdx.begin(), p.vecVertIdx.end());
      if (distinct.size() < p.vecVertIdx.size()) {
        Add(CheckLevel::Warning, where, "a vertex comes more than once");
      }
      if (NormalAgainstWinding(p)) {
        Add(CheckLevel::Warning, where, "its face normal points against its winding");
      }
    }
  }

  // The corners where the viewer draws them, in model space: face normals
  // are used as stored, unturned, so a model whose parts are turned stores
  // them in model space to be lit right. The file's polygons wind
  // clockwise seen from the side their normal points to, so the winding's
  // normal (Newell's sum, good for any polygon that is nearly flat) points
  // away from it.
  bool NormalAgainstWinding(const Polygon& p) const {
    const auto corner = [&](int index) -> std::array<double, 3> {
      const Vertex& v = m_model.Vertices()[static_cast<std::size_t>(index)];
      return {v.x, v.y, v.z};
    };
    std::array<double, 3> winding{};
    for (std::size_t c = 0; c < p.vecVertIdx.size(); ++c) {
      const auto a = corner(p.vecVertIdx[c]);
      const auto b = corner(p.vecVertIdx[(c + 1) % p.vecVertIdx.size()]);
      winding[0] += (a[1] - b[1]) * (a[2] + b[2]);
      winding[1] += (a[2] - b[2]) * (a[0] + b[0]);
      winding[2] += (a[0] - b[0]) * (a[1] + b[1]);
    }
    const double along = kWindingSign * (winding[0] * p.dNormal[0] + winding[1] * p.dNormal[1] +
                                         winding[2] * p.dNormal[2]);
    const double lengths =
        std::sqrt(winding[0] * winding[0] + winding[1] * winding[1] + winding[2] * winding[2]) *
        std::sqrt(p.dNormal[0] * p.dNormal[0] + p.dNormal[1] * p.dNormal[1] +
                  p.dNormal[2] * p.dNormal[2]);
    // Degenerate polygons and zero normals have no direction to disagree with.
    return lengths > 0.0 && std::isfinite(lengths) && along < -kAgreementTolerance * lengths;
  }

  void CheckSubObjects() {
    const auto& objects = m_model.SubObjects();
    for (std::size_t a = 0; a < objects.size(); ++a) {
      for (std::size_t b = a + 1; b < objects.size(); ++b) {
        if (objects[a].nFirst > objects[a].nLast || objects[b].nFirst > objects[b].nLast) continue;
        if (objects[a].nFirst <= objects[b].nLast && objects[b].nFirst <= objects[a].nLast) {
          Add(CheckLevel::Error, "sub-objects " + std::to_string(a) + " and " + std::to_string(b),
              "their index ranges " + Range(objects[a]) + " and " + Range(objects[b]) + " overlap");
        }
      }
    }
    // A polygon whose first second index lies in a sub-object's range but
    // which the placement cursor does not reach stays unplaced, in the root's
    // frame: usually a part drawn far from where it belongs.
    const std::vector<int> owners = SubObjectOfEachPolygon(m_model.Content());
    for (std::size_t k = 0; k < m_model.Polygons().size(); ++k) {
      const Polygon& p = m_model.Polygons()[k];
      if (owners[k] != kNoSubObject || p.vecAuxIdx.empty()) continue;
      for (std::size_t s = 0; s < objects.size(); ++s) {
        const int first = p.vecAuxIdx[0];
        if (first < objects[s].nFirst || first > objects[s].nLast) continue;
        Add(CheckLevel::Error, "polygon " + std::to_string(k),
            "its index " + std::to_string(first) + " lies in the range " + Range(objects[s]) +
                " of sub-object " + std::to_string(s) +
                ", but it is not placed there: a sub-object's polygons must follow each other, "
                "the first at the start of its range");
        break;
      }
    }
  }

  static std::string Range(const SubObject& o) {
    return std::to_string(o.nFirst) + ".." + std::to_string(o.nLast);
  }

  static constexpr double kWindingSign = -1.0;
  // Normals within about 90 degrees of the winding's agree; a little room
  // keeps nearly edge-on rounding from counting.
  static constexpr double kAgreementTolerance = 1e-6;

  const CModel& m_model;
  std::vector<CheckProblem>& m_problems;
};

std::string Where(const ReadResult& result) {
  if (result.offset >= 0) return "offset " + std::to_string(result.offset);
  if (result.index >= 0 && !result.record.empty())
    return result.record + " " + std::to_string(result.index);
  return "the file";
}

}  // namespace

std::vector<CheckProblem> CheckModelFile(const std::string& path) {
  std::vector<CheckProblem> problems;
  CModel model;
  if (const ReadResult result = model.Read(path); !result.ok()) {
    problems.push_back({CheckLevel::Error, Where(result), result.Reason()});
    return problems;
  }
  // The textures are read with no palette: whether they can be read does
  // not depend on the colours.
  model.ReadTextureImages(path);
  Checker(model, problems).Run();
  return problems;
}
