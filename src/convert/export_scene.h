// The model as the viewer shows it, in the shape today's interchange formats
// want: triangles whose front faces are counter-clockwise, one unit normal
// and one texture coordinate per corner, grouped by part (node) and by
// material, with each texture converted through the palette. The glTF and
// OBJ writers both start from it, so what "as shown" means is decided here
// once.
//
// Input: a model read (so placed), with the palette applied and the texture
// images read (ApplyPalette, then ReadTextureImages). Nothing needs OpenGL.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "io/path_parts.h"
#include "io/safe_write.h"

class CModel;

// One file of an export, built in memory; the caller writes the set through
// the safe-write path, all or nothing.
using OutputFile = safewrite::OutputFile;

// What became of building an export's files in memory.
enum class BuildStatus {
  kOk,
  kCannotEncode,     // a texture picture could not be encoded
  kCannotConvert,    // the format's library or writer refused
  kCannotReadModel,  // the LGMD re-save reads the model file again
  kWrongFormat,      // the format is not built by this call
};

struct BuildResult {
  BuildStatus status = BuildStatus::kOk;
  std::string reason;  // one line naming the file

  bool Ok() const { return status == BuildStatus::kOk; }
};

struct ExportVertex {
  std::array<float, 3> position{};  // model space, as drawn
  std::array<float, 3> normal{};    // unit length
  // As the viewer hands it to OpenGL: (0, 0) is the first texel of the
  // texture's first row, the row the image file stores first.
  std::array<float, 2> texCoord{};
};

// The triangles of one node drawn with one material.
struct ExportPrimitive {
  int material = 0;  // index into ExportScene::materials
  std::vector<ExportVertex> vertices;
  // Three per triangle, counter-clockwise seen from the side the viewer
  // shows.
  std::vector<std::uint32_t> indices;
};

struct ExportNode {
  std::string name;                         // "body" or "object N"
  int subObject = -1;                       // index into m_vecSubObjects; -1 for the body
  std::array<float, 12> matrix{};           // the sub-object's fMatrix, kept as read
  int parent = -1;                          // the sub-object's nParent
  std::vector<ExportPrimitive> primitives;  // in material order; none when empty
};

// A texture converted through the palette: RGBA rows, the first row first.
struct ExportImage {
  std::string name;  // the material's name
  int width = 0;
  int height = 0;
  bool transparent = false;  // palette index 0 was made see-through
  std::vector<std::uint8_t> rgba;
};

struct ExportMaterial {
  std::string name;
  // The colour the viewer lights: red, green, blue as drawn (0 to 1, the
  // values the screen shows, not linear light). White under a texture.
  std::array<float, 3> color{1.0f, 1.0f, 1.0f};
  int image = -1;  // index into ExportScene::images, -1 for a plain colour
};

struct ExportScene {
  std::string name;
  std::vector<ExportMaterial> materials;
  std::vector<ExportImage> images;
  // The body first, then one node per sub-object in index order.
  std::vector<ExportNode> nodes;
};

// The name of the node of polygons outside every sub-object's range, and of
// the material of polygons that have none.
inline constexpr const char* kBodyNodeName = "body";
inline constexpr const char* kNoMaterialName = "no material";

ExportScene BuildExportScene(const CModel& model);

// Counts over all nodes, for reports and tests.
std::size_t CountTriangles(const ExportScene& scene);

// The files that carry the scene's textures beside an export at outPath,
// one per image: "<stem>.<material>.png" ("dir/plane.obj" ->
// "dir/plane.fabric.png"), made distinct as SafeUniqueNames does. No two
// models of a run can name the same picture, as a safe name has no dot.
std::vector<std::string> TexturePaths(const ExportScene& scene, const std::string& outPath);

// Names turned into distinct file-name-safe words: characters other than
// ASCII letters, digits, '-' and '_' become '_', an empty name becomes
// "unnamed", and a name met before gets "_2", "_3"... appended.
std::vector<std::string> SafeUniqueNames(const std::vector<std::string>& names);
