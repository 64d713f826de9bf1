// Feeds arbitrary bytes to the reader and every model it accepts to each
// exporter, with made-up texture images on the textured materials. Every
// export must succeed, and what it builds must hold together: the export
// scene's triangles name vertices of their own primitive and carry unit
// normals, the ".glb" loads back with one mesh per part, the ".gltf" names
// a buffer file of exactly its length, and every OBJ face names positions,
// texture coordinates and normals that the file defines before it.
#include <tiny_gltf.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "convert/export_formats.h"
#include "convert/export_scene.h"
#include "io/safe_write.h"
#include "model/model.h"

namespace {

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "export check failed: %s\n", what);
    std::abort();
  }
}

// A 2 x 2 image on every texture entry but the first, which stays missing.
void FakeTextures(CModel& model) {
  model.BuildTextureList();
  std::vector<TextureEntry> textures = model.Textures();
  for (std::size_t k = 1; k < textures.size(); ++k) {
    TextureEntry& entry = textures[k];
    entry.pPixels = std::make_unique<std::uint8_t[]>(16);
    entry.nWidth = 2;
    entry.nHeight = 2;
  }
  model.SetTextures(std::move(textures));
}

void CheckScene(const ExportScene& scene) {
  for (const ExportNode& node : scene.nodes) {
    for (const ExportPrimitive& primitive : node.primitives) {
      Require(primitive.indices.size() % 3 == 0, "whole triangles");
      for (std::uint32_t index : primitive.indices) {
        Require(index < primitive.vertices.size(), "scene index in range");
      }
      for (const ExportVertex& v : primitive.vertices) {
        Require(std::fabs(std::hypot(v.normal[0], v.normal[1], v.normal[2]) - 1.0) < 1e-4,
                "unit normal");
      }
    }
  }
}

std::size_t MeshCount(const ExportScene& scene) {
  std::size_t meshes = 0;
  for (const ExportNode& node : scene.nodes) meshes += node.primitives.empty() ? 0 : 1;
  return meshes;
}

// Pictures are PNG bytes the exporter made; decoding them adds nothing here.
bool SkipImage(tinygltf::Image*, const int, std::string*, std::string*, int, int,
               const unsigned char*, int, void*) {
  return true;
}

void CheckGlb(const OutputFile& glb, const ExportScene& scene) {
  tinygltf::TinyGLTF loader;
  loader.SetImageLoader(SkipImage, nullptr);
  tinygltf::Model loaded;
  std::string error;
  std::string warning;
  Require(loader.LoadBinaryFromMemory(&loaded, &error, &warning, glb.bytes.data(),
                                      static_cast<unsigned>(glb.bytes.size())),
          "the .glb loads back");
  Require(loaded.nodes.size() == scene.nodes.size() && loaded.meshes.size() == MeshCount(scene),
          "a node per part, a mesh per part with polygons");
}

void CheckGltf(const std::vector<OutputFile>& files) {
  const auto json = nlohmann::json::parse(files.back().bytes, nullptr, false);
  Require(!json.is_discarded(), "the .gltf is JSON");
  if (!json.contains("buffers")) return;
  const std::string uri = json["buffers"][0].value("uri", "");
  const std::size_t length = json["buffers"][0].value("byteLength", std::size_t{0});
  for (const OutputFile& file : files) {
    if (file.path.size() >= uri.size() &&
        file.path.compare(file.path.size() - uri.size(), uri.size(), uri) == 0) {
      Require(file.bytes.size() == length, "buffer length as named");
      return;
    }
  }
  Require(false, "the named buffer file is built");
}

// Each "f" corner is v/vt/vn or v//vn, 1-based, counted across the file.
void CheckObj(const OutputFile& obj) {
  std::istringstream in(std::string(obj.bytes.begin(), obj.bytes.end()));
  std::size_t counts[3] = {0, 0, 0};
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("v ", 0) == 0) ++counts[0];
    if (line.rfind("vt ", 0) == 0) ++counts[1];
    if (line.rfind("vn ", 0) == 0) ++counts[2];
    if (line.rfind("f ", 0) != 0) continue;
    std::istringstream corners(line.substr(2));
    std::string corner;
    int cornerCount = 0;
    while (corners >> corner) {
      ++cornerCount;
      const char* at = corner.data();
      const char* end = at + corner.size();
      for (std::size_t k = 0; k < 3 && at <= end; ++k) {
        std::size_t value = 0;
        const auto parsed = std::from_chars(at, end, value);
        if (parsed.ptr != at) Require(value >= 1 && value <= counts[k], "face index defined");
        at = parsed.ptr + 1;
      }
    }
    Require(cornerCount == 3, "triangular faces");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CModel model;
  if (!model.ReadFromMemory(data, size).ok()) return 0;
  FakeTextures(model);
  const ExportScene scene = BuildExportScene(model);
  CheckScene(scene);
  for (ExportFormat format :
       {ExportFormat::kCob, ExportFormat::kGlb, ExportFormat::kGltf, ExportFormat::kObj}) {
    std::vector<OutputFile> files;
    Require(
        BuildExportFiles(model, format, "fuzz/out" + std::string(ExportExtension(format)), files)
                .Ok() &&
            !files.empty(),
        "the export builds");
    if (format == ExportFormat::kGlb) CheckGlb(files.back(), scene);
    if (format == ExportFormat::kGltf) CheckGltf(files);
    if (format == ExportFormat::kObj) CheckObj(files.back());
  }
  return 0;
}
