#include "convert/import_parts.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>

namespace importparts {

namespace {

// A polygon record counts its corners in a byte.
constexpr std::size_t kMaxCorners = 255;
// Corners farther than this share of the polygon's size from its plane
// make it no longer flat; the viewer draws it as a fan then, which shows
// it wrongly, so it is cut into triangles here.
constexpr double kFlatTolerance = 1e-3;
// Faces smaller than this share of their size squared enclose no area.
constexpr double kAreaTolerance = 1e-12;
constexpr double kIdentityTolerance = 1e-6;

using Vec = std::array<double, 3>;

Vec Sub(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec Cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec ToVec(const std::array<float, 3>& p) { return {p[0], p[1], p[2]}; }

Affine FromRows(const std::array<float, 16>& m) {
  Affine a{};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 4; ++c) a[r][c] = m[static_cast<std::size_t>(4 * r + c)];
  }
  return a;
}

bool IsIdentity(const Affine& a) {
  const Affine id = Identity();
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 4; ++c) {
      if (std::abs(a[r][c] - id[r][c]) > kIdentityTolerance) return false;
    }
  }
  return true;
}

// Newell's normal of the corners in the given order, and the largest
// extent, for the polygon's tests.
Vec NewellNormal(const std::vector<Vec>& points) {
  Vec n{0, 0, 0};
  for (std::size_t i = 0; i < points.size(); ++i) {
    const Vec& a = points[i];
    const Vec& b = points[(i + 1) % points.size()];
    n[0] += (a[1] - b[1]) * (a[2] + b[2]);
    n[1] += (a[2] - b[2]) * (a[0] + b[0]);
    n[2] += (a[0] - b[0]) * (a[1] + b[1]);
  }
  return n;
}

// Flat and convex: every corner turns the same way about the normal and
// lies on the plane. Such a polygon looks the same drawn as a fan from
// any corner, the way the viewer draws it.
bool FlatAndConvex(const std::vector<Vec>& points, const Vec& normal, double size) {
  const double length = std::sqrt(Dot(normal, normal));
  const Vec unit{normal[0] / length, normal[1] / length, normal[2] / length};
  const double plane = Dot(unit, points[0]);
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (std::abs(Dot(unit, points[i]) - plane) > kFlatTolerance * size) return false;
    const Vec& a = points[i];
    const Vec& b = points[(i + 1) % points.size()];
    const Vec& c = points[(i + 2) % points.size()];
    if (Dot(Cross(Sub(b, a), Sub(c, b)), unit) < 0.0) return false;
  }
  return true;
}

double Extent(const std::vector<Vec>& points) {
  double size = 0.0;
  for (const Vec& p : points) {
    for (int k = 0; k < 3; ++k) size = std::max(size, std::abs(p[k] - points[0][k]));
  }
  return size;
}

// Beyond this many corners a face is cut as a fan: clipping ears costs the
// square of the corners.
constexpr std::size_t kMaxClippedCorners = 1024;

// Whether p lies inside the triangle abc or on its edges, all turning the
// way normal says.
bool Inside(const Vec& p, const Vec& a, const Vec& b, const Vec& c, const Vec& normal) {
  return Dot(Cross(Sub(b, a), Sub(p, a)), normal) >= 0.0 &&
         Dot(Cross(Sub(c, b), Sub(p, b)), normal) >= 0.0 &&
         Dot(Cross(Sub(a, c), Sub(p, c)), normal) >= 0.0;
}

// Triangles covering the face exactly, concave or not: each step cuts off
// a corner that turns the face's way and holds no other corner (an ear).
// Where no ear is found (a face that crosses itself) the rest is a fan.
std::vector<std::array<std::size_t, 3>> CutIntoTriangles(const std::vector<Vec>& points,
                                                         const Vec& normal) {
  std::vector<std::size_t> left(points.size());
  for (std::size_t i = 0; i < left.size(); ++i) left[i] = i;
  std::vector<std::array<std::size_t, 3>> triangles;
  while (left.size() > 3 && left.size() <= kMaxClippedCorners) {
    bool cut = false;
    for (std::size_t i = 0; i < left.size() && !cut; ++i) {
      const std::size_t a = left[(i + left.size() - 1) % left.size()], b = left[i],
                        c = left[(i + 1) % left.size()];
      if (Dot(Cross(Sub(points[b], points[a]), Sub(points[c], points[b])), normal) <= 0.0) continue;
      bool empty = true;
      for (std::size_t k : left) {
        if (k != a && k != b && k != c &&
            Inside(points[k], points[a], points[b], points[c], normal))
          empty = false;
      }
      if (!empty) continue;
      triangles.push_back({a, b, c});
      left.erase(left.begin() + static_cast<std::ptrdiff_t>(i));
      cut = true;
    }
    if (!cut) break;
  }
  for (std::size_t i = 1; i + 1 < left.size(); ++i)
    triangles.push_back({left[0], left[i], left[i + 1]});
  return triangles;
}

struct Corner {
  int vertex = 0;
  std::array<float, 2> texCoord{};
  bool operator==(const Corner& other) const { return vertex == other.vertex; }
};

void AddPolygon(Part& part, const std::vector<Corner>& corners, int material) {
  part.cornerCounts.push_back(static_cast<int>(corners.size()));
  for (const Corner& c : corners) {
    part.corners.push_back(c.vertex);
    part.cornerTexCoords.push_back(c.texCoord);
  }
  part.materials.push_back(material);
}

// One source face, corners already reversed into the viewer's order.
void AddFace(Part& part, std::vector<Corner> corners, int material) {
  corners.erase(std::unique(corners.begin(), corners.end()), corners.end());
  while (corners.size() > 1 && corners.front() == corners.back()) corners.pop_back();
  if (corners.size() < 3) return;
  std::vector<Vec> points;
  for (const Corner& c : corners)
    points.push_back(ToVec(part.positions[static_cast<std::size_t>(c.vertex)]));
  const double size = Extent(points);
  const double minimum = kAreaTolerance * size * size * size * size;
  const Vec normal = NewellNormal(points);
  if (!(Dot(normal, normal) > minimum)) return;
  if (corners.size() <= kMaxCorners &&
      (corners.size() == 3 || FlatAndConvex(points, normal, size))) {
    AddPolygon(part, corners, material);
    return;
  }
  for (const std::array<std::size_t, 3>& t : CutIntoTriangles(points, normal)) {
    const Vec n = Cross(Sub(points[t[1]], points[t[0]]), Sub(points[t[2]], points[t[0]]));
    if (Dot(n, n) > minimum)
      AddPolygon(part, {corners[t[0]], corners[t[1]], corners[t[2]]}, material);
  }
}

double Determinant(const Affine& a) {
  return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
         a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
         a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

// Splits m into a turn and shift (rigid, orthonormal columns) after a
// shape (scale and shear, upper triangular, no shift): m = rigid * shape.
// Sub-objects keep the rigid part as their frame and their positions take
// the shape, so stored positions have the model's size and the viewer's
// camera, which fits the stored positions, frames the model. False when m
// flattens space.
bool SplitRigid(const Affine& m, Affine& rigid, Affine& shape) {
  std::array<Vec, 3> q{};
  shape = Affine{};
  for (int c = 0; c < 3; ++c) {
    Vec v{m[0][c], m[1][c], m[2][c]};
    for (int k = 0; k < c; ++k) {
      const double d = Dot(q[static_cast<std::size_t>(k)], v);
      shape[k][c] = d;
      for (int r = 0; r < 3; ++r) {
        v[static_cast<std::size_t>(r)] -=
            d * q[static_cast<std::size_t>(k)][static_cast<std::size_t>(r)];
      }
    }
    const double length = std::sqrt(Dot(v, v));
    if (!(length > 1e-12)) return false;
    shape[c][c] = length;
    for (int r = 0; r < 3; ++r) {
      q[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)] =
          v[static_cast<std::size_t>(r)] / length;
    }
  }
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c)
      rigid[r][c] = q[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)];
    rigid[r][3] = m[r][3];
  }
  return true;
}

// A mesh's positions taken through bake into the part; a mirroring frame
// turns the faces' sense round, so the corners go the other way then.
// The vertices of a part by their position and normal, bit for bit.
using VertexKeys = std::map<std::array<std::uint32_t, 6>, int>;

void AddMesh(const ImportMesh& mesh, const Affine& bake, bool mirrored, Part& part,
             VertexKeys& known, Parts& out) {
  std::vector<int> vertexOf(mesh.positions.size());
  for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
    const std::array<double, 3> p = Apply(bake, mesh.positions[i]);
    const std::array<float, 3> position{static_cast<float>(p[0]), static_cast<float>(p[1]),
                                        static_cast<float>(p[2])};
    const std::array<float, 3> normal =
        mesh.normals.empty() ? std::array<float, 3>{} : mesh.normals[i];
    std::array<std::uint32_t, 6> key{};
    for (int k = 0; k < 3; ++k) {
      key[static_cast<std::size_t>(k)] =
          std::bit_cast<std::uint32_t>(position[static_cast<std::size_t>(k)] + 0.0f);
      key[static_cast<std::size_t>(k + 3)] =
          std::bit_cast<std::uint32_t>(normal[static_cast<std::size_t>(k)] + 0.0f);
    }
    const auto [it, fresh] = known.emplace(key, static_cast<int>(part.positions.size()));
    if (fresh) {
      part.positions.push_back(position);
      part.vertexTexCoords.push_back(mesh.texCoords.empty() ? std::array<float, 2>{}
                                                            : mesh.texCoords[i]);
    }
    vertexOf[i] = it->second;
  }
  const auto material = static_cast<std::size_t>(mesh.material);
  for (const std::array<float, 4>& c : mesh.colors) {
    for (int k = 0; k < 4; ++k)
      out.colorSums[material][static_cast<std::size_t>(k)] += c[static_cast<std::size_t>(k)];
  }
  out.colorCounts[material] += mesh.colors.size();
  std::size_t at = 0;
  std::vector<Corner> corners;
  for (std::uint32_t count : mesh.faceSizes) {
    corners.clear();
    // Reversed: the source's front is counter-clockwise, the viewer's
    // clockwise.
    for (std::size_t k = count; k-- > 0;) {
      const std::uint32_t index = mesh.indices[at + k];
      corners.push_back({vertexOf[index],
                         mesh.texCoords.empty() ? std::array<float, 2>{} : mesh.texCoords[index]});
    }
    if (mirrored) std::reverse(corners.begin(), corners.end());
    at += count;
    AddFace(part, corners, mesh.material);
  }
}

}  // namespace

Affine Identity() { return {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}}; }

Affine Multiply(const Affine& a, const Affine& b) {
  Affine r{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 4; ++j) {
      r[i][j] =
          a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j] + (j == 3 ? a[i][3] : 0.0);
    }
  }
  return r;
}

bool Invert(const Affine& a, Affine& inverse) {
  const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                     a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                     a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
  if (!std::isfinite(det) || std::abs(det) < 1e-12) return false;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      const int i1 = (j + 1) % 3, i2 = (j + 2) % 3, j1 = (i + 1) % 3, j2 = (i + 2) % 3;
      inverse[i][j] = (a[i1][j1] * a[i2][j2] - a[i1][j2] * a[i2][j1]) / det;
    }
  }
  for (int i = 0; i < 3; ++i) {
    inverse[i][3] = -(inverse[i][0] * a[0][3] + inverse[i][1] * a[1][3] + inverse[i][2] * a[2][3]);
  }
  return true;
}

std::array<double, 3> Apply(const Affine& a, const std::array<float, 3>& p) {
  std::array<double, 3> r{};
  for (int i = 0; i < 3; ++i) r[i] = a[i][0] * p[0] + a[i][1] * p[1] + a[i][2] * p[2] + a[i][3];
  return r;
}

Parts GatherParts(const ImportScene& scene, double scale, int maxSubObjects) {
  Parts out;
  out.colorSums.assign(scene.materials.size(), {0, 0, 0, 0});
  out.colorCounts.assign(scene.materials.size(), 0);
  Affine scaling = Identity();
  for (int k = 0; k < 3; ++k) scaling[k][k] = scale;
  std::vector<Affine> world(scene.nodes.size());
  // The part each node's meshes went to, -1 for none; a child looks up its
  // nearest ancestor's part through it.
  std::vector<int> partOf(scene.nodes.size(), -1);
  std::vector<bool> hasChild;
  std::vector<VertexKeys> keys;
  int body = -1;
  int subObjects = 0;
  for (std::size_t n = 0; n < scene.nodes.size(); ++n) {
    const ImportNode& node = scene.nodes[n];
    world[n] = node.parent < 0
                   ? FromRows(node.matrix)
                   : Multiply(world[static_cast<std::size_t>(node.parent)], FromRows(node.matrix));
    // Nodes where the file's own frame is are the body; the scale alone
    // moves nothing anywhere.
    const Affine model = Multiply(scaling, world[n]);
    int ancestorPart = node.parent < 0 ? -1 : partOf[static_cast<std::size_t>(node.parent)];
    partOf[n] = ancestorPart;
    if (node.meshes.empty()) continue;

    Affine rigid{};
    Affine shape{};
    const bool mirrored = Determinant(model) < 0.0;
    const bool placed =
        !IsIdentity(world[n]) && subObjects < maxSubObjects && SplitRigid(model, rigid, shape);
    if (!placed) {
      if (!IsIdentity(world[n])) ++out.flattened;
      if (body < 0) {
        body = static_cast<int>(out.parts.size());
        out.parts.emplace_back();
        out.parts.back().body = true;
        out.parts.back().name = node.name;
        hasChild.push_back(false);
        keys.emplace_back();
      }
      for (int m : node.meshes) {
        AddMesh(scene.meshes[static_cast<std::size_t>(m)], model, mirrored,
                out.parts[static_cast<std::size_t>(body)], keys[static_cast<std::size_t>(body)],
                out);
      }
      continue;
    }
    Part part;
    part.name = node.name;
    part.toModel = rigid;
    part.toParent = rigid;
    // A record links one child: a second child, or a parent whose frame
    // cannot be undone, leaves the node hanging from the model itself.
    Affine inverse{};
    if (ancestorPart >= 0 && !out.parts[static_cast<std::size_t>(ancestorPart)].body &&
        !hasChild[static_cast<std::size_t>(ancestorPart)] &&
        Invert(out.parts[static_cast<std::size_t>(ancestorPart)].toModel, inverse)) {
      part.parent = ancestorPart;
      part.toParent = Multiply(inverse, rigid);
      hasChild[static_cast<std::size_t>(ancestorPart)] = true;
    }
    keys.emplace_back();
    for (int m : node.meshes)
      AddMesh(scene.meshes[static_cast<std::size_t>(m)], shape, mirrored, part, keys.back(), out);
    partOf[n] = static_cast<int>(out.parts.size());
    out.parts.push_back(std::move(part));
    hasChild.push_back(false);
    ++subObjects;
  }
  return out;
}

void Renumber(Part& part) {
  std::vector<int> newIndex(part.positions.size(), -1);
  std::vector<std::array<float, 3>> positions;
  std::vector<std::array<float, 2>> texCoords;
  for (int& c : part.corners) {
    int& slot = newIndex[static_cast<std::size_t>(c)];
    if (slot < 0) {
      slot = static_cast<int>(positions.size());
      positions.push_back(part.positions[static_cast<std::size_t>(c)]);
      texCoords.push_back(part.vertexTexCoords[static_cast<std::size_t>(c)]);
    }
    c = slot;
  }
  part.positions = std::move(positions);
  part.vertexTexCoords = std::move(texCoords);
}

std::size_t CountVertices(const Parts& parts) {
  std::size_t n = 0;
  for (const Part& p : parts.parts) n += p.positions.size();
  return n;
}

std::size_t CountPolygons(const Parts& parts) {
  std::size_t n = 0;
  for (const Part& p : parts.parts) n += p.cornerCounts.size();
  return n;
}

}  // namespace importparts
