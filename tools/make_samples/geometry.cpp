#include "geometry.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <utility>

namespace samples {

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 Normalized(Vec3 a) {
  const double length = std::sqrt(Dot(a, a));
  return length > 0.0 ? a * (1.0 / length) : a;
}

Vec3 Turn(const Frame& f, Vec3 v) { return f.ax * v.x + f.ay * v.y + f.az * v.z; }
Vec3 Apply(const Frame& f, Vec3 p) { return Turn(f, p) + f.origin; }

Frame Then(const Frame& inner, const Frame& outer) {
  return {Turn(outer, inner.ax), Turn(outer, inner.ay), Turn(outer, inner.az),
          Apply(outer, inner.origin)};
}

namespace {

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// Exact zeros and ones for the quarter turns, so that the stored matrices
// read cleanly in a dump.
double CleanCos(double degrees) {
  const double c = std::cos(Radians(degrees));
  return std::abs(c) < 1e-12 ? 0.0 : c;
}
double CleanSin(double degrees) {
  const double s = std::sin(Radians(degrees));
  return std::abs(s) < 1e-12 ? 0.0 : s;
}

}  // namespace

Frame RotationX(double degrees) {
  const double c = CleanCos(degrees), s = CleanSin(degrees);
  return {{1, 0, 0}, {0, c, s}, {0, -s, c}, {}};
}
Frame RotationY(double degrees) {
  const double c = CleanCos(degrees), s = CleanSin(degrees);
  return {{c, 0, -s}, {0, 1, 0}, {s, 0, c}, {}};
}
Frame RotationZ(double degrees) {
  const double c = CleanCos(degrees), s = CleanSin(degrees);
  return {{c, s, 0}, {-s, c, 0}, {0, 0, 1}, {}};
}
Frame Translation(Vec3 t) { return {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, t}; }

Surface Colour(std::uint8_t id) { return {Surface::Kind::kColour, id}; }
Surface Textured(std::uint8_t id) { return {Surface::Kind::kTextured, id}; }

int Part::AddVertex(Vec3 p) {
  m_vertices.push_back(p);
  return static_cast<int>(m_vertices.size()) - 1;
}

namespace {

// Newell's method: right for any planar polygon, whatever its first corners.
Vec3 NewellNormal(const std::vector<Vec3>& points) {
  Vec3 n;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const Vec3& a = points[i];
    const Vec3& b = points[(i + 1) % points.size()];
    n.x += (a.y - b.y) * (a.z + b.z);
    n.y += (a.z - b.z) * (a.x + b.x);
    n.z += (a.x - b.x) * (a.y + b.y);
  }
  return n;
}

}  // namespace

void Part::AddFace(std::vector<int> corners, Vec3 inside, Surface surface,
                   std::vector<std::array<float, 2>> uv) {
  std::vector<Vec3> points;
  Vec3 centroid;
  for (int c : corners) {
    points.push_back(m_vertices[static_cast<std::size_t>(c)]);
    centroid = centroid + points.back();
  }
  centroid = centroid * (1.0 / static_cast<double>(points.size()));
  Vec3 normal = NewellNormal(points);
  if (Dot(normal, centroid - inside) < 0.0) {
    std::reverse(corners.begin(), corners.end());
    std::reverse(uv.begin(), uv.end());
    normal = normal * -1.0;
  }
  m_faces.push_back({std::move(corners), std::move(uv), surface, Normalized(normal)});
}

void Part::AddFlatFace(const std::vector<Vec3>& points, Vec3 inside, Surface surface,
                       std::vector<std::array<float, 2>> uv) {
  std::vector<int> corners;
  for (const Vec3& p : points) corners.push_back(AddVertex(p));
  AddFace(std::move(corners), inside, surface, std::move(uv));
}

void AddRod(Part& part, Vec3 from, Vec3 to, double thickness, Surface surface) {
  const Vec3 axis = Normalized(to - from);
  // Any direction not along the axis gives the section's sides.
  const Vec3 helper = std::abs(axis.y) < 0.9 ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
  const Vec3 side1 = Normalized(Cross(axis, helper)) * (thickness / 2);
  const Vec3 side2 = Normalized(Cross(axis, side1)) * (thickness / 2);
  const std::array<Vec3, 4> offsets = {side1 + side2, side1 - side2, side1 * -1.0 - side2,
                                       side2 - side1};
  const Vec3 middle = (from + to) * 0.5;
  for (std::size_t k = 0; k < 4; ++k) {
    const Vec3& a = offsets[k];
    const Vec3& b = offsets[(k + 1) % 4];
    part.AddFlatFace({from + a, from + b, to + b, to + a}, middle, surface);
  }
  part.AddFlatFace({from + offsets[0], from + offsets[1], from + offsets[2], from + offsets[3]},
                   middle, surface);
  part.AddFlatFace({to + offsets[0], to + offsets[1], to + offsets[2], to + offsets[3]}, middle,
                   surface);
}

Frame ModelFrame(const std::vector<SubObjectSpec>& subObjects, int index) {
  Frame frame = subObjects[static_cast<std::size_t>(index)].toParent;
  for (int p = subObjects[static_cast<std::size_t>(index)].parent; p >= 0;
       p = subObjects[static_cast<std::size_t>(p)].parent) {
    frame = Then(frame, subObjects[static_cast<std::size_t>(p)].toParent);
  }
  return frame;
}

namespace {

constexpr int kMaxIndex = 32767;  // indices and counts are signed 16-bit
constexpr std::uint8_t kColourFlag = 0x40;

// Hands out one index per distinct value, in order of first use, so the
// file is the same on every run.
template <typename T>
class IndexTable {
 public:
  int Get(const T& value, std::vector<T>& out) {
    const auto [it, added] = m_index.try_emplace(value, static_cast<int>(out.size()));
    if (added) out.push_back(value);
    return it->second;
  }

 private:
  std::map<T, int> m_index;
};

// The part's faces with the one that holds vertex 0 first, turned so that
// vertex 0 is its first corner: the polygon that carries the part's range
// start.
bool FacesForPlacement(const Part& part, std::vector<Face>& faces) {
  faces = part.faces();
  for (std::size_t f = 0; f < faces.size(); ++f) {
    auto& corners = faces[f].corners;
    const auto at = std::find(corners.begin(), corners.end(), 0);
    if (at == corners.end()) continue;
    const auto shift = at - corners.begin();
    std::rotate(corners.begin(), at, corners.end());
    if (!faces[f].uv.empty()) {
      std::rotate(faces[f].uv.begin(), faces[f].uv.begin() + shift, faces[f].uv.end());
    }
    std::rotate(faces.begin(), faces.begin() + static_cast<std::ptrdiff_t>(f),
                faces.begin() + static_cast<std::ptrdiff_t>(f) + 1);
    return true;
  }
  return false;
}

std::array<float, 3> ToFloats(Vec3 v) {
  return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

struct Emitter {
  lgmd::ModelDesc& desc;
  IndexTable<std::array<float, 3>> normals;
  IndexTable<std::array<float, 2>> texCoords;

  // The viewer culls faces whose corners run counter-clockwise on screen,
  // so a face must be stored clockwise as seen from outside: the reverse of
  // the right-hand order. The first corner stays first.
  void AddPolygon(const Face& face, int vertexBase, Vec3 modelNormal) {
    lgmd::BuilderPolygon polygon;
    const std::size_t n = face.corners.size();
    for (std::size_t k = 0; k < n; ++k) {
      const std::size_t c = (n - k) % n;
      const auto index = static_cast<std::int16_t>(vertexBase + face.corners[c]);
      polygon.vertIdx.push_back(index);
      polygon.auxIdx.push_back(index);
      if (face.surface.kind == Surface::Kind::kTextured) {
        const std::array<float, 2> uv = face.uv.empty() ? std::array<float, 2>{0, 0} : face.uv[c];
        polygon.texIdx.push_back(static_cast<std::int16_t>(texCoords.Get(uv, desc.texCoords)));
      }
    }
    polygon.normalIndex =
        static_cast<std::int16_t>(normals.Get(ToFloats(Normalized(modelNormal)), desc.normals));
    polygon.materialId = face.surface.materialId;
    polygon.flags = face.surface.kind == Surface::Kind::kColour ? kColourFlag : 0;
    desc.polygons.push_back(std::move(polygon));
  }
};

}  // namespace

bool Assemble(const Part& root, const std::vector<SubObjectSpec>& subObjects, lgmd::ModelDesc& desc,
              std::string& error) {
  std::size_t total = root.vertices().size();
  for (const auto& sub : subObjects) total += sub.part.vertices().size();
  if (total > static_cast<std::size_t>(kMaxIndex) || subObjects.size() > 254) {
    error = "too many vertices or sub-objects for one file";
    return false;
  }

  desc.objects.assign(subObjects.size() + 1, lgmd::BuilderObject{});
  desc.objects[0].name = root.name();
  Emitter emit{desc, {}, {}};

  // The root's vertices are already in model space.
  for (Vec3 v : root.vertices()) desc.vertices.push_back(ToFloats(v));
  for (const Face& face : root.faces()) emit.AddPolygon(face, 0, face.outward);

  for (std::size_t s = 0; s < subObjects.size(); ++s) {
    const SubObjectSpec& sub = subObjects[s];
    if (sub.parent >= static_cast<int>(s) || sub.parent < -1) {
      error = sub.part.name() + ": a parent must come before its child";
      return false;
    }
    std::vector<Face> faces;
    if (!FacesForPlacement(sub.part, faces)) {
      error = sub.part.name() + ": no face uses the part's first vertex";
      return false;
    }
    lgmd::BuilderObject& record = desc.objects[s + 1];
    record.name = sub.part.name();
    const Frame& f = sub.toParent;
    std::size_t k = 0;
    for (const Vec3& column : {f.ax, f.ay, f.az, f.origin}) {
      for (double value : {column.x, column.y, column.z}) {
        record.matrix[k++] = static_cast<float>(value);
      }
    }
    const int base = static_cast<int>(desc.vertices.size());
    record.rangeFirst = static_cast<std::int16_t>(base);
    record.rangeLength = static_cast<std::int16_t>(sub.part.vertices().size());
    if (sub.parent >= 0) {
      lgmd::BuilderObject& parentRecord = desc.objects[static_cast<std::size_t>(sub.parent) + 1];
      if (parentRecord.childLink != -1) {
        error = sub.part.name() + ": its parent already has a child";
        return false;
      }
      parentRecord.childLink = static_cast<std::int16_t>(s + 1);
    }

    for (Vec3 v : sub.part.vertices()) desc.vertices.push_back(ToFloats(v));
    // The viewer moves positions into place but lights with the stored
    // normals as they stand, so they are stored as they face once placed.
    const Frame toModel = ModelFrame(subObjects, static_cast<int>(s));
    for (const Face& face : faces) emit.AddPolygon(face, base, Turn(toModel, face.outward));
  }
  constexpr auto kLimit = static_cast<std::size_t>(kMaxIndex);
  if (desc.polygons.size() > kLimit || desc.normals.size() > kLimit ||
      desc.texCoords.size() > kLimit) {
    error = "too many polygons, normals or texture coordinates for one file";
    return false;
  }
  return true;
}

}  // namespace samples
