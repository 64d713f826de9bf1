// Feeds arbitrary bytes to the reader and every model it accepts to the
// glTF and OBJ builders, with made-up texture images on the textured
// materials. Besides the sanitizers' checks: the export scene's triangles
// only name vertices of their own primitive, and its normals are unit
// vectors.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "model/export_formats.h"
#include "model/export_scene.h"
#include "model/model.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// A 2 x 2 image on every texture entry but the first, which stays missing.
void FakeTextures(CModel& model) {
  model.BuildTextureList();
  for (std::size_t k = 1; k < model.m_vecTextures.size(); ++k) {
    TextureEntry& entry = model.m_vecTextures[k];
    entry.pPixels = std::make_unique<std::uint8_t[]>(16);
    entry.nWidth = 2;
    entry.nHeight = 2;
  }
}

void CheckScene(const ExportScene& scene) {
  for (const ExportNode& node : scene.nodes) {
    for (const ExportPrimitive& primitive : node.primitives) {
      Require(primitive.indices.size() % 3 == 0);
      for (std::uint32_t index : primitive.indices) Require(index < primitive.vertices.size());
      for (const ExportVertex& v : primitive.vertices) {
        Require(std::fabs(std::hypot(v.normal[0], v.normal[1], v.normal[2]) - 1.0) < 1e-4);
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CModel model;
  if (model.ReadFromMemory(data, size) != 0) return 0;
  FakeTextures(model);
  CheckScene(BuildExportScene(model));
  for (ExportFormat format : {ExportFormat::kGlb, ExportFormat::kGltf, ExportFormat::kObj}) {
    std::vector<OutputFile> files;
    std::string error;
    Require(BuildExportFiles(model, format, "fuzz/out" + std::string(ExportExtension(format)),
                             files, error) == 0);
  }
  return 0;
}
