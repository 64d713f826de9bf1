// Reducing an imported mesh that the format cannot hold, with
// meshoptimizer. Each material of each part is simplified on its own, so
// the polygons keep their materials and the parts their frames; the
// simplifier collapses edges onto vertices that exist, so the outline and
// the extents stay where they were.
#include <meshoptimizer.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "convert/import_parts.h"

namespace importparts {

namespace {

// Aim a little under the limits, as the simplifier lands near its target
// rather than on it.
constexpr double kHeadroom = 0.9;
// Each further attempt asks for this share of the last one's target.
constexpr double kStep = 0.7;
constexpr int kAttempts = 8;
// The simplifier's error bound, relative to the mesh's size: whatever it
// takes, the limits decide.
constexpr float kAnyError = 1.0f;

// The triangles of one material of one part, as a fan of each polygon.
struct Group {
  int material = 0;
  std::vector<unsigned> triangles;
};

std::vector<Group> Triangulate(const Part& part) {
  std::map<int, Group> groups;
  std::size_t at = 0;
  for (std::size_t p = 0; p < part.cornerCounts.size(); ++p) {
    const auto count = static_cast<std::size_t>(part.cornerCounts[p]);
    Group& group = groups[part.materials[p]];
    group.material = part.materials[p];
    for (std::size_t k = 1; k + 1 < count; ++k) {
      group.triangles.insert(
          group.triangles.end(),
          {static_cast<unsigned>(part.corners[at]), static_cast<unsigned>(part.corners[at + k]),
           static_cast<unsigned>(part.corners[at + k + 1])});
    }
    at += count;
  }
  std::vector<Group> out;
  for (auto& [material, group] : groups) out.push_back(std::move(group));
  return out;
}

Part Reduce(const Part& source, const std::vector<Group>& groups, double share, bool sloppy) {
  Part part = source;
  part.cornerCounts.clear();
  part.corners.clear();
  part.cornerTexCoords.clear();
  part.materials.clear();
  std::vector<unsigned> kept;
  for (const Group& group : groups) {
    const std::size_t target = std::max<std::size_t>(
        3, static_cast<std::size_t>(static_cast<double>(group.triangles.size()) * share) / 3 * 3);
    kept.resize(group.triangles.size());
    const float* positions = source.positions.front().data();
    const std::size_t n =
        sloppy ? meshopt_simplifySloppy(kept.data(), group.triangles.data(), group.triangles.size(),
                                        positions, source.positions.size(), sizeof(float) * 3,
                                        target, kAnyError, nullptr)
               : meshopt_simplify(kept.data(), group.triangles.data(), group.triangles.size(),
                                  positions, source.positions.size(), sizeof(float) * 3, target,
                                  kAnyError, 0, nullptr);
    for (std::size_t i = 0; i + 2 < n; i += 3) {
      part.cornerCounts.push_back(3);
      for (std::size_t k = i; k < i + 3; ++k) {
        part.corners.push_back(static_cast<int>(kept[k]));
        part.cornerTexCoords.push_back(source.vertexTexCoords[kept[k]]);
      }
      part.materials.push_back(group.material);
    }
  }
  Renumber(part);
  return part;
}

}  // namespace

bool Simplify(Parts& parts, std::size_t maxVertices, std::size_t maxPolygons) {
  const std::size_t vertices = CountVertices(parts);
  const std::size_t polygons = CountPolygons(parts);
  if (vertices <= maxVertices && polygons <= maxPolygons) return true;
  std::vector<std::vector<Group>> groups;
  std::size_t triangles = 0;
  for (const Part& part : parts.parts) {
    groups.push_back(Triangulate(part));
    for (const Group& g : groups.back()) triangles += g.triangles.size() / 3;
  }
  double share =
      kHeadroom * std::min(static_cast<double>(maxVertices) / static_cast<double>(vertices),
                           static_cast<double>(maxPolygons) / static_cast<double>(triangles));
  for (int attempt = 0; attempt < kAttempts; ++attempt, share *= kStep) {
    // The careful simplifier first; where it stops short (it keeps the
    // topology), the sloppy one, which does not.
    const bool sloppy = attempt >= kAttempts / 2;
    Parts reduced = parts;
    for (std::size_t i = 0; i < parts.parts.size(); ++i) {
      if (!parts.parts[i].positions.empty())
        reduced.parts[i] = Reduce(parts.parts[i], groups[i], share, sloppy);
    }
    if (CountVertices(reduced) <= maxVertices && CountPolygons(reduced) <= maxPolygons) {
      parts = std::move(reduced);
      return true;
    }
  }
  return false;
}

}  // namespace importparts
