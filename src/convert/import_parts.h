// The steps of an import between the neutral scene and the model: the
// parts (the body and the sub-objects) with their own positions and
// polygons, built once and then only narrowed (simplified) or numbered.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "convert/import_scene.h"

namespace importparts {

// An affine transform, three rows of four; applied to column vectors.
using Affine = std::array<std::array<double, 4>, 3>;

Affine Identity();
Affine Multiply(const Affine& a, const Affine& b);
// False when a does not turn space into space (its 3 x 3 part has no inverse).
bool Invert(const Affine& a, Affine& inverse);
std::array<double, 3> Apply(const Affine& a, const std::array<float, 3>& p);

struct Part {
  std::string name;
  bool body = false;
  int parent = -1;  // another part, sub-objects only
  Affine toParent = Identity();
  Affine toModel = Identity();
  // In the part's own frame. A position the source shares between faces
  // that it lights alike (the same normal) is one vertex, whatever the
  // faces' texture coordinates, which LGMD keeps per corner: the viewer
  // then lights the faces smoothly across it, as the source did.
  std::vector<std::array<float, 3>> positions;
  // The texture coordinate each vertex had at its first corner, for
  // polygons the simplifier makes.
  std::vector<std::array<float, 2>> vertexTexCoords;
  // Polygons: cornerCounts[i] corners of polygon i follow in corners, in the
  // order the viewer shows as the front (clockwise seen from it), each
  // with its texture coordinate in cornerTexCoords.
  std::vector<int> cornerCounts;
  std::vector<int> corners;
  std::vector<std::array<float, 2>> cornerTexCoords;
  std::vector<int> materials;  // per polygon: the scene's material
};

struct Parts {
  std::vector<Part> parts;  // the body first when there is one
  int flattened = 0;        // nodes baked into the body for want of room
  // Per scene material: the sum of its vertex colours and how many.
  std::vector<std::array<double, 4>> colorSums;
  std::vector<std::size_t> colorCounts;
};

// The scene's meshes gathered into parts, scaled to model units by scale,
// faces reversed, degenerate faces dropped, faces LGMD cannot hold as one
// polygon cut into triangles.
Parts GatherParts(const ImportScene& scene, double scale, int maxSubObjects);

// Drops the positions no polygon uses and numbers the rest in the order
// the polygons first use them, so each part's first polygon starts at its
// first vertex, as placement requires.
void Renumber(Part& part);

std::size_t CountVertices(const Parts& parts);
std::size_t CountPolygons(const Parts& parts);

// Reduces the parts (meshoptimizer) until they hold at most maxVertices
// vertices and maxPolygons polygons; false when they cannot be made to.
bool Simplify(Parts& parts, std::size_t maxVertices, std::size_t maxPolygons);

}  // namespace importparts
