#include "convert/gltf_export.h"
#include "io/text.h"

#include <tiny_gltf.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <sstream>

#include "io/png_image.h"

namespace {

constexpr int kAlign = 4;
constexpr const char* kGeneratorName = "Zorvik";
constexpr const char* kPngMimeType = "image/png";
constexpr const char* kBufferSuffix = "_geometry.bin";
constexpr const char* kMaskAlphaMode = "MASK";
// The viewer's alpha test lets through texels whose alpha is above one half.
constexpr double kAlphaCutoff = 0.5;
// Largest index an unsigned short index list may hold: 65535 is reserved.
constexpr std::size_t kMaxShortIndexVertices = 65535;

// The viewer's colours are the values the screen shows; glTF's base colour
// factor is linear light (its textures are sRGB-encoded, so only the factor
// is converted). This makes a plain colour and a texel of the same value
// look alike, as they do in the viewer.
double SrgbToLinear(double c) {
  if (c <= 0.04045) return c / 12.92;
  return std::pow((c + 0.055) / 1.055, 2.4);
}

// What a relative URI may hold as it is; every other byte of a file name
// is percent-encoded.
bool IsUriPlain(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.' || c == '~';
}

std::string UriOf(const std::string& fileName) { return PercentEncode(fileName, IsUriPlain); }

// Collects the one buffer and its views.
class BufferWriter {
 public:
  explicit BufferWriter(tinygltf::Model& model) : m_model(model) {}

  int AddView(const void* data, std::size_t size, int target) {
    std::vector<unsigned char>& bytes = Bytes();
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = bytes.size();
    view.byteLength = size;
    view.target = target;
    const auto* p = static_cast<const unsigned char*>(data);
    bytes.insert(bytes.end(), p, p + size);
    while (bytes.size() % kAlign != 0) bytes.push_back(0);
    m_model.bufferViews.push_back(view);
    return static_cast<int>(m_model.bufferViews.size()) - 1;
  }

  template <std::size_t N>
  int AddFloatAccessor(const std::vector<ExportVertex>& vertices,
                       std::array<float, N> ExportVertex::*member, int type, bool withBounds) {
    std::vector<float> values;
    values.reserve(vertices.size() * N);
    std::vector<double> low(N, std::numeric_limits<double>::max());
    std::vector<double> high(N, std::numeric_limits<double>::lowest());
    for (const ExportVertex& vertex : vertices) {
      for (std::size_t i = 0; i < N; ++i) {
        const float value = (vertex.*member)[i];
        values.push_back(value);
        low[i] = std::min(low[i], static_cast<double>(value));
        high[i] = std::max(high[i], static_cast<double>(value));
      }
    }
    tinygltf::Accessor accessor;
    accessor.bufferView =
        AddView(values.data(), values.size() * sizeof(float), TINYGLTF_TARGET_ARRAY_BUFFER);
    accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
    accessor.count = vertices.size();
    accessor.type = type;
    if (withBounds) {
      accessor.minValues = low;
      accessor.maxValues = high;
    }
    return Push(accessor);
  }

  int AddIndexAccessor(const ExportPrimitive& primitive) {
    tinygltf::Accessor accessor;
    accessor.count = primitive.indices.size();
    accessor.type = TINYGLTF_TYPE_SCALAR;
    if (primitive.vertices.size() <= kMaxShortIndexVertices) {
      std::vector<std::uint16_t> shorts(primitive.indices.begin(), primitive.indices.end());
      accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
      accessor.bufferView = AddView(shorts.data(), shorts.size() * sizeof(std::uint16_t),
                                    TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
    } else {
      accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
      accessor.bufferView =
          AddView(primitive.indices.data(), primitive.indices.size() * sizeof(std::uint32_t),
                  TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
    }
    return Push(accessor);
  }

 private:
  std::vector<unsigned char>& Bytes() {
    if (m_model.buffers.empty()) m_model.buffers.emplace_back();
    return m_model.buffers[0].data;
  }

  int Push(const tinygltf::Accessor& accessor) {
    m_model.accessors.push_back(accessor);
    return static_cast<int>(m_model.accessors.size()) - 1;
  }

  tinygltf::Model& m_model;
};

tinygltf::Material MakeMaterial(const ExportMaterial& material, const ExportScene& scene) {
  tinygltf::Material out;
  out.name = material.name;
  tinygltf::PbrMetallicRoughness& pbr = out.pbrMetallicRoughness;
  pbr.baseColorFactor = {SrgbToLinear(material.color[0]), SrgbToLinear(material.color[1]),
                         SrgbToLinear(material.color[2]), 1.0};
  // Flat, matte surfaces, as the viewer's light has no highlight.
  pbr.metallicFactor = 0.0;
  pbr.roughnessFactor = 1.0;
  if (material.image >= 0) {
    pbr.baseColorTexture.index = material.image;  // one texture per image
    if (scene.images[static_cast<std::size_t>(material.image)].transparent) {
      out.alphaMode = kMaskAlphaMode;
      out.alphaCutoff = kAlphaCutoff;
    }
  }
  return out;
}

// The sub-object's matrix and parent, kept so that nothing of the model
// file's structure is lost; the positions are already placed.
tinygltf::Value NodeExtras(const ExportNode& node) {
  tinygltf::Value::Array matrix;
  for (float value : node.matrix) matrix.emplace_back(static_cast<double>(value));
  tinygltf::Value::Object extras;
  extras["matrix"] = tinygltf::Value(std::move(matrix));
  extras["parent"] = tinygltf::Value(node.parent);
  return tinygltf::Value(std::move(extras));
}

void AddMeshes(const ExportScene& scene, tinygltf::Model& model, BufferWriter& buffer) {
  tinygltf::Scene gltfScene;
  gltfScene.name = scene.name;
  for (const ExportNode& node : scene.nodes) {
    tinygltf::Node gltfNode;
    gltfNode.name = node.name;
    if (node.subObject >= 0) gltfNode.extras = NodeExtras(node);
    if (!node.primitives.empty()) {
      tinygltf::Mesh mesh;
      mesh.name = node.name;
      for (const ExportPrimitive& primitive : node.primitives) {
        const ExportMaterial& material =
            scene.materials[static_cast<std::size_t>(primitive.material)];
        tinygltf::Primitive out;
        out.mode = TINYGLTF_MODE_TRIANGLES;
        out.material = primitive.material;
        out.attributes["POSITION"] = buffer.AddFloatAccessor(
            primitive.vertices, &ExportVertex::position, TINYGLTF_TYPE_VEC3, true);
        out.attributes["NORMAL"] = buffer.AddFloatAccessor(
            primitive.vertices, &ExportVertex::normal, TINYGLTF_TYPE_VEC3, false);
        if (material.image >= 0) {
          // The viewer's (u, v) as they are: t = 0 is the texture's first
          // row, which glTF also puts at v = 0, the top of the image.
          out.attributes["TEXCOORD_0"] = buffer.AddFloatAccessor(
              primitive.vertices, &ExportVertex::texCoord, TINYGLTF_TYPE_VEC2, false);
        }
        out.indices = buffer.AddIndexAccessor(primitive);
        mesh.primitives.push_back(std::move(out));
      }
      model.meshes.push_back(std::move(mesh));
      gltfNode.mesh = static_cast<int>(model.meshes.size()) - 1;
    }
    model.nodes.push_back(std::move(gltfNode));
    gltfScene.nodes.push_back(static_cast<int>(model.nodes.size()) - 1);
  }
  model.scenes.push_back(std::move(gltfScene));
  model.defaultScene = 0;
}

// Textures, each through one sampler with the viewer's blocky, repeating
// texels. In a .glb the PNGs go into the buffer; otherwise they become files
// beside it, appended to files.
BuildResult AddTextures(const ExportScene& scene, const std::string& outPath, bool binary,
                        tinygltf::Model& model, BufferWriter& buffer,
                        std::vector<OutputFile>& files) {
  if (scene.images.empty()) return {};
  tinygltf::Sampler sampler;
  sampler.magFilter = TINYGLTF_TEXTURE_FILTER_NEAREST;
  sampler.minFilter = TINYGLTF_TEXTURE_FILTER_NEAREST;
  sampler.wrapS = TINYGLTF_TEXTURE_WRAP_REPEAT;
  sampler.wrapT = TINYGLTF_TEXTURE_WRAP_REPEAT;
  model.samplers.push_back(sampler);

  const std::vector<std::string> paths = TexturePaths(scene, outPath);
  for (std::size_t i = 0; i < scene.images.size(); ++i) {
    const ExportImage& image = scene.images[i];
    std::vector<std::uint8_t> png;
    if (!EncodePngRgba(image.rgba, image.width, image.height, png)) {
      return {BuildStatus::kCannotEncode, "cannot encode the texture of material " + image.name};
    }
    tinygltf::Image gltfImage;
    gltfImage.name = image.name;
    if (binary) {
      gltfImage.mimeType = kPngMimeType;
      gltfImage.bufferView = buffer.AddView(png.data(), png.size(), 0);
    } else {
      gltfImage.uri = UriOf(FileNamePart(paths[i]));
      files.push_back({paths[i], std::move(png)});
    }
    model.images.push_back(std::move(gltfImage));
    tinygltf::Texture texture;
    texture.sampler = 0;
    texture.source = static_cast<int>(i);
    model.textures.push_back(texture);
  }
  return {};
}

// tinygltf embeds the buffer of a JSON file as a data URI; a .gltf that
// names its buffer file is made by writing it without its bytes and putting
// the file's name and length in afterwards.
std::string PointBufferToFile(const std::string& json, const std::string& uri, std::size_t length) {
  nlohmann::json document = nlohmann::json::parse(json);
  document["buffers"][0]["uri"] = uri;
  document["buffers"][0]["byteLength"] = length;
  return document.dump(2);
}

BuildResult Serialise(tinygltf::Model& model, const std::string& outPath, bool binary,
                      std::vector<OutputFile>& files) {
  tinygltf::TinyGLTF writer;
  // Images are already PNG bytes or named files: nothing for the library
  // to encode.
  writer.SetImageWriter(nullptr, nullptr);

  std::vector<unsigned char> bufferBytes;
  const bool separateBuffer = !binary && !model.buffers.empty();
  if (separateBuffer) bufferBytes.swap(model.buffers[0].data);

  std::ostringstream stream;
  if (!writer.WriteGltfSceneToStream(&model, stream, !binary, binary)) {
    return {BuildStatus::kCannotConvert, "cannot build the glTF file " + outPath};
  }
  std::string main = stream.str();
  if (separateBuffer) {
    const std::string bufferPath = GltfBufferPath(outPath);
    main = PointBufferToFile(main, UriOf(FileNamePart(bufferPath)), bufferBytes.size());
    files.push_back(
        {bufferPath, std::vector<std::uint8_t>(bufferBytes.begin(), bufferBytes.end())});
  }
  files.push_back({outPath, std::vector<std::uint8_t>(main.begin(), main.end())});
  return {};
}

}  // namespace

std::string GltfBufferPath(const std::string& outPath) { return PathStem(outPath) + kBufferSuffix; }

BuildResult BuildGltf(const CModel& model, const std::string& outPath, bool binary,
                      std::vector<OutputFile>& files) {
  files.clear();
  try {
    const ExportScene scene = BuildExportScene(model);
    tinygltf::Model gltf;
    gltf.asset.version = "2.0";
    gltf.asset.generator = kGeneratorName;
    BufferWriter buffer(gltf);
    AddMeshes(scene, gltf, buffer);
    for (const ExportMaterial& material : scene.materials) {
      gltf.materials.push_back(MakeMaterial(material, scene));
    }
    BuildResult result = AddTextures(scene, outPath, binary, gltf, buffer, files);
    if (result.Ok()) result = Serialise(gltf, outPath, binary, files);
    if (!result.Ok()) files.clear();
    return result;
  } catch (const std::exception& e) {
    // The library and the containers report running out of memory or a
    // text they cannot encode by throwing; the caller gets a message.
    files.clear();
    return {BuildStatus::kCannotConvert,
            std::string("cannot build the glTF file ") + outPath + ": " + e.what()};
  }
}
