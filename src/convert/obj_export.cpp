#include "convert/obj_export.h"

#include <charconv>
#include <exception>
#include <string_view>

#include "io/png_image.h"

namespace {

constexpr const char* kHeader = "# Zorvik export of ";
constexpr const char* kLibrarySuffix = ".mtl";

class TextOut {
 public:
  TextOut& operator<<(std::string_view text) {
    m_text.append(text);
    return *this;
  }
  // Shortest text that reads back as the same float, whatever the locale.
  TextOut& operator<<(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    m_text.append(buffer, result.ptr);
    return *this;
  }
  TextOut& operator<<(std::size_t value) {
    m_text += std::to_string(value);
    return *this;
  }
  std::vector<std::uint8_t> Bytes() const { return {m_text.begin(), m_text.end()}; }

 private:
  std::string m_text;
};

// Running totals of what has been written: OBJ numbers every "v", "vt" and
// "vn" from 1 across the whole file.
struct Counters {
  std::size_t positions = 0;
  std::size_t texCoords = 0;
  std::size_t normals = 0;
};

void WritePrimitive(const ExportPrimitive& primitive, bool textured, const std::string& material,
                    Counters& counters, TextOut& out) {
  for (const ExportVertex& v : primitive.vertices) {
    out << "v " << v.position[0] << " " << v.position[1] << " " << v.position[2] << "\n";
  }
  if (textured) {
    // OBJ puts v = 0 at the bottom of the picture, the viewer's t = 0 is
    // the texture's first row, at the top of the PNG.
    for (const ExportVertex& v : primitive.vertices) {
      out << "vt " << v.texCoord[0] << " " << (1.0f - v.texCoord[1]) << "\n";
    }
  }
  for (const ExportVertex& v : primitive.vertices) {
    out << "vn " << v.normal[0] << " " << v.normal[1] << " " << v.normal[2] << "\n";
  }
  out << "usemtl " << material << "\n";
  for (std::size_t i = 0; i + 2 < primitive.indices.size(); i += 3) {
    out << "f";
    for (std::size_t k = 0; k < 3; ++k) {
      const std::size_t index = primitive.indices[i + k];
      out << " " << (counters.positions + index + 1) << "/";
      if (textured) out << (counters.texCoords + index + 1);
      out << "/" << (counters.normals + index + 1);
    }
    out << "\n";
  }
  counters.positions += primitive.vertices.size();
  if (textured) counters.texCoords += primitive.vertices.size();
  counters.normals += primitive.vertices.size();
}

std::vector<std::uint8_t> BuildObjText(const ExportScene& scene, const std::string& library,
                                       const std::vector<std::string>& materialNames) {
  std::vector<std::string> nodeNames;
  for (const ExportNode& node : scene.nodes) nodeNames.push_back(node.name);
  const std::vector<std::string> safeNodeNames = SafeUniqueNames(nodeNames);

  TextOut out;
  out << kHeader << scene.name << "\n";
  out << "mtllib " << library << "\n";
  Counters counters;
  for (std::size_t n = 0; n < scene.nodes.size(); ++n) {
    const ExportNode& node = scene.nodes[n];
    if (node.primitives.empty()) continue;
    out << "o " << safeNodeNames[n] << "\n";
    for (const ExportPrimitive& primitive : node.primitives) {
      const auto material = static_cast<std::size_t>(primitive.material);
      WritePrimitive(primitive, scene.materials[material].image >= 0, materialNames[material],
                     counters, out);
    }
  }
  return out.Bytes();
}

std::vector<std::uint8_t> BuildLibrary(const ExportScene& scene,
                                       const std::vector<std::string>& materialNames,
                                       const std::vector<std::string>& texturePaths) {
  TextOut out;
  out << kHeader << scene.name << "\n";
  for (std::size_t i = 0; i < scene.materials.size(); ++i) {
    const ExportMaterial& material = scene.materials[i];
    // Diffuse only and no highlight, as the viewer lights it.
    out << "\nnewmtl " << materialNames[i] << "\n";
    out << "Ka 0 0 0\n";
    out << "Kd " << material.color[0] << " " << material.color[1] << " " << material.color[2]
        << "\n";
    out << "Ks 0 0 0\n";
    out << "d 1\n";
    out << "illum 1\n";
    if (material.image < 0) continue;
    const std::string file = FileNamePart(texturePaths[static_cast<std::size_t>(material.image)]);
    out << "map_Kd " << file << "\n";
    if (scene.images[static_cast<std::size_t>(material.image)].transparent) {
      out << "map_d " << file << "\n";
    }
  }
  return out.Bytes();
}

}  // namespace

std::string ObjLibraryPath(const std::string& outPath) {
  return PathStem(outPath) + kLibrarySuffix;
}

BuildResult BuildObj(const CModel& model, const std::string& outPath,
                     std::vector<OutputFile>& files) {
  files.clear();
  try {
    const ExportScene scene = BuildExportScene(model);
    const std::vector<std::string> texturePaths = TexturePaths(scene, outPath);
    for (std::size_t i = 0; i < scene.images.size(); ++i) {
      const ExportImage& image = scene.images[i];
      std::vector<std::uint8_t> png;
      if (!EncodePngRgba(image.rgba, image.width, image.height, png)) {
        files.clear();
        return {BuildStatus::kCannotEncode, "cannot encode the texture of material " + image.name};
      }
      files.push_back({texturePaths[i], std::move(png)});
    }
    std::vector<std::string> names;
    for (const ExportMaterial& material : scene.materials) names.push_back(material.name);
    const std::vector<std::string> materialNames = SafeUniqueNames(names);
    const std::string libraryPath = ObjLibraryPath(outPath);
    files.push_back({libraryPath, BuildLibrary(scene, materialNames, texturePaths)});
    files.push_back({outPath, BuildObjText(scene, FileNamePart(libraryPath), materialNames)});
  } catch (const std::exception& e) {
    files.clear();
    return {BuildStatus::kCannotConvert,
            std::string("cannot build the OBJ file ") + outPath + ": " + e.what()};
  }
  return {};
}
