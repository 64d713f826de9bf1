// Small solid-modelling kit for the demo content: parts are meshes in their
// own local frames, hung in a hierarchy of rigid frames, and assembled into
// the description of one LGMD file.
//
// How an assembled file is laid out, so that the viewer's placement pass
// moves every part into place:
// - the root part's vertices come first and are stored in model space;
// - then each sub-object's vertices, in its local frame, in one contiguous
//   block; the block's index range is the sub-object's range;
// - each polygon's second per-corner index repeats its vertex index, so the
//   first one lies in the range of the part the polygon belongs to;
// - polygons follow the same order, and each part's first polygon starts at
//   the part's first vertex, which is what moves the placement cursor on to
//   that part.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "lgmd_builder/lgmd_builder.h"

namespace samples {

struct Vec3 {
  double x = 0.0, y = 0.0, z = 0.0;
};

Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, double s);
double Dot(Vec3 a, Vec3 b);
Vec3 Cross(Vec3 a, Vec3 b);
Vec3 Normalized(Vec3 a);

// A rigid frame: the images of the local x, y and z axes and the local
// origin, the same twelve numbers a sub-object record holds.
struct Frame {
  Vec3 ax{1, 0, 0}, ay{0, 1, 0}, az{0, 0, 1};
  Vec3 origin;
};

Vec3 Apply(const Frame& f, Vec3 p);                  // point
Vec3 Turn(const Frame& f, Vec3 v);                   // direction, no translation
Frame Then(const Frame& inner, const Frame& outer);  // outer after inner
Frame RotationX(double degrees);
Frame RotationY(double degrees);
Frame RotationZ(double degrees);
Frame Translation(Vec3 t);

// How a face is painted. A colour surface takes the material of its id with
// the colour flag; a textured one the textured material of its id; none the
// viewer's default colour.
struct Surface {
  enum class Kind { kNone, kColour, kTextured };
  Kind kind = Kind::kNone;
  std::uint8_t materialId = 255;
};

Surface Colour(std::uint8_t id);
Surface Textured(std::uint8_t id);

struct Face {
  std::vector<int> corners;              // local vertex indices
  std::vector<std::array<float, 2>> uv;  // one per corner, or empty
  Surface surface;
  Vec3 outward;  // unit normal in the part's local frame
};

// A mesh in its own frame. Faces are handed in with any corner order plus a
// point inside the solid; the part orders them itself, so that winding
// mistakes cannot creep in shape by shape.
class Part {
 public:
  explicit Part(std::string name) : m_name(std::move(name)) {}

  int AddVertex(Vec3 p);
  // Adds a face whose normal points away from inside.
  void AddFace(std::vector<int> corners, Vec3 inside, Surface surface,
               std::vector<std::array<float, 2>> uv = {});
  // The same with fresh vertices of its own, so that the face is lit flat
  // instead of sharing averaged normals with its neighbours.
  void AddFlatFace(const std::vector<Vec3>& points, Vec3 inside, Surface surface,
                   std::vector<std::array<float, 2>> uv = {});

  const std::string& name() const { return m_name; }
  const std::vector<Vec3>& vertices() const { return m_vertices; }
  const std::vector<Face>& faces() const { return m_faces; }

 private:
  std::string m_name;
  std::vector<Vec3> m_vertices;
  std::vector<Face> m_faces;
};

// A box with flat faces between two points, square in section: struts,
// axles, skids.
void AddRod(Part& part, Vec3 from, Vec3 to, double thickness, Surface surface);

struct SubObjectSpec {
  Part part;
  Frame toParent;   // local frame into the parent's frame
  int parent = -1;  // index among the sub-objects, -1 for the root object
};

// Everything but materials and textures, which the caller adds.
// Sub-objects are written in the order given; each may be the parent of at
// most one other, since an object record links to a single child.
// Returns false (with a reason) when the hierarchy cannot be written.
bool Assemble(const Part& root, const std::vector<SubObjectSpec>& subObjects, lgmd::ModelDesc& desc,
              std::string& error);

// Where a local-frame point of sub-object index ends up in model space.
Frame ModelFrame(const std::vector<SubObjectSpec>& subObjects, int index);

}  // namespace samples
