// A foreign model in neutral form: what the import worker takes out of a
// file the import library read, and all the program needs from it to make
// an LGMD model. Nothing here knows the import library; the worker fills
// it, the wire format carries it across the process boundary, and
// BuildImportedModel turns it into a model.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// How a material lets what lies behind it through.
enum class ImportAlpha : std::uint8_t { kOpaque = 0, kMask = 1, kBlend = 2 };

struct ImportMaterial {
  std::string name;
  // Base colour, red, green, blue, alpha, 0 to 1 as the file gives it.
  std::array<float, 4> color{1.0f, 1.0f, 1.0f, 1.0f};
  ImportAlpha alpha = ImportAlpha::kOpaque;
  // The base-colour texture decoded to RGBA rows, the first row first;
  // empty when the material has none or it could not be read.
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
  // Why a texture the material names has no pixels; empty otherwise.
  std::string textureProblem;
};

// One mesh in its node's frame. faceSizes[i] corners of face i take the
// next entries of indices, counter-clockwise seen from the front.
struct ImportMesh {
  int material = 0;
  std::vector<std::array<float, 3>> positions;
  std::vector<std::array<float, 3>> normals;    // empty, or one per position
  std::vector<std::array<float, 2>> texCoords;  // empty, or one per position
  std::vector<std::array<float, 4>> colors;     // empty, or one per position
  std::vector<std::uint32_t> faceSizes;
  std::vector<std::uint32_t> indices;
};

// A node of the source's tree, parents before their children.
struct ImportNode {
  std::string name;
  int parent = -1;
  // The node's transform relative to its parent, rows first, as a 4 x 4
  // matrix applied to column vectors.
  std::array<float, 16> matrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  std::vector<int> meshes;
};

struct ImportScene {
  // Model units per unit of the file: the unit the file declares where the
  // import library leaves it to us (FBX), else 1.
  double unitScale = 1.0;
  std::vector<ImportMaterial> materials;
  std::vector<ImportMesh> meshes;
  std::vector<ImportNode> nodes;
};
