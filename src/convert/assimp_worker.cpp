// zorvik-import-worker FILE: reads a foreign model with the Open Asset
// Import Library and writes it, in the program's neutral form
// (import_wire.h), to standard output. It runs as a child of the program
// so that a file that makes the library crash, loop or take all memory
// costs only this process: it caps its own address space and processor
// time before it touches the file, and the parent keeps a clock of its
// own. Texture pictures are decoded here too (stb_image: PNG, JPEG, BMP,
// TGA, GIF, PSD, HDR, PIC, PNM), behind the same walls. On Windows the
// walls are the job object the program starts it in.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <sys/resource.h>
#endif

#include <assimp/GltfMaterial.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#endif
#include <stb/stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

#include "convert/import_limits.h"
#include "convert/import_wire.h"
#include "io/system_path.h"

namespace {

// The largest texture file read: a picture of the largest side the program
// takes, stored with no compression.
constexpr std::uintmax_t kMaxPictureFile = std::uintmax_t{257} << 20;
// FBX gives its unit as centimetres per file unit.
constexpr double kCentimetresPerMetre = 100.0;

#ifdef _WIN32
// A crash ends the worker with its exception code, which the program
// names, at once: no error dialog, and no debugger Wine would start and
// the program would wait for until its clock ran out.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* /*crash*/) { return EXCEPTION_EXECUTE_HANDLER; }
#else
void SetLimits() {
  const rlimit memory{kImportMemoryLimit, kImportMemoryLimit};
  setrlimit(RLIMIT_AS, &memory);
  // A soft limit first: the kernel sends SIGXCPU, which the parent names.
  const rlimit cpu{kImportTimeLimitSeconds, kImportTimeLimitSeconds + 1};
  setrlimit(RLIMIT_CPU, &cpu);
  // A crash leaves no core file behind.
  const rlimit none{0, 0};
  setrlimit(RLIMIT_CORE, &none);
}
#endif

bool DecodePicture(const std::uint8_t* bytes, std::size_t size, ImportMaterial& m) {
  int width = 0, height = 0, channels = 0;
  if (size > static_cast<std::size_t>(INT32_MAX) ||
      !stbi_info_from_memory(bytes, static_cast<int>(size), &width, &height, &channels)) {
    m.textureProblem =
        std::string("not a picture this program reads (") + stbi_failure_reason() + ")";
    return false;
  }
  if (width > importwire::kMaxTextureSide || height > importwire::kMaxTextureSide) {
    m.textureProblem = std::to_string(width) + " x " + std::to_string(height) +
                       " pixels, more than the " + std::to_string(importwire::kMaxTextureSide) +
                       " a side this program takes";
    return false;
  }
  stbi_uc* pixels =
      stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channels, 4);
  if (pixels == nullptr) {
    m.textureProblem = std::string("cannot decode the picture (") + stbi_failure_reason() + ")";
    return false;
  }
  m.width = width;
  m.height = height;
  m.rgba.assign(pixels, pixels + std::size_t{4} * width * height);
  stbi_image_free(pixels);
  return true;
}

void ReadTextureFile(const std::filesystem::path& path, ImportMaterial& m) {
  std::error_code ec;
  const std::string name = syspath::ToUtf8(path);
  if (!std::filesystem::is_regular_file(path, ec)) {
    m.textureProblem = name + " is not there";
    return;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size > kMaxPictureFile) {
    m.textureProblem = name + " is too large for a texture";
    return;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  std::ifstream in(path, std::ios::binary);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
    m.textureProblem = "cannot read " + name;
    return;
  }
  if (!DecodePicture(bytes.data(), bytes.size(), m))
    m.textureProblem = name + ": " + m.textureProblem;
}

void ReadTexture(const aiScene& scene, const std::filesystem::path& folder, const aiString& name,
                 ImportMaterial& m) {
  if (const aiTexture* t = scene.GetEmbeddedTexture(name.C_Str())) {
    if (t->mHeight == 0) {
      DecodePicture(reinterpret_cast<const std::uint8_t*>(t->pcData), t->mWidth, m);
    } else if (t->mWidth <= static_cast<unsigned>(importwire::kMaxTextureSide) &&
               t->mHeight <= static_cast<unsigned>(importwire::kMaxTextureSide)) {
      m.width = static_cast<int>(t->mWidth);
      m.height = static_cast<int>(t->mHeight);
      for (std::size_t i = 0; i < std::size_t{t->mWidth} * t->mHeight; ++i) {
        const aiTexel& p = t->pcData[i];
        m.rgba.insert(m.rgba.end(), {p.r, p.g, p.b, p.a});
      }
    }
    return;
  }
  std::string file = name.C_Str();
  for (char& c : file) {
    if (c == '\\') c = '/';
  }
  ReadTextureFile(folder / syspath::FromUtf8(file), m);
}

// glTF keeps its base colour as linear light; the program, as the screen,
// in sRGB.
float LinearToSrgb(float c) {
  if (c <= 0.0031308f) return c * 12.92f;
  return 1.055f * std::pow(c, 1.0f / 2.4f) - 0.055f;
}

ImportMaterial ReadMaterial(const aiScene& scene, const aiMaterial& source,
                            const std::filesystem::path& folder) {
  ImportMaterial m;
  m.name = source.GetName().C_Str();
  aiColor4D color(1, 1, 1, 1);
  if (source.Get(AI_MATKEY_BASE_COLOR, color) != AI_SUCCESS) {
    source.Get(AI_MATKEY_COLOR_DIFFUSE, color);
  }
  float opacity = 1.0f;
  if (source.Get(AI_MATKEY_OPACITY, opacity) == AI_SUCCESS && opacity < color.a) color.a = opacity;
  m.color = {color.r, color.g, color.b, color.a};
  aiString mode;
  if (source.Get(AI_MATKEY_GLTF_ALPHAMODE, mode) == AI_SUCCESS) {
    for (int k = 0; k < 3; ++k)
      m.color[static_cast<std::size_t>(k)] = LinearToSrgb(m.color[static_cast<std::size_t>(k)]);
    const std::string text = mode.C_Str();
    m.alpha = text == "MASK"    ? ImportAlpha::kMask
              : text == "BLEND" ? ImportAlpha::kBlend
                                : ImportAlpha::kOpaque;
  } else if (source.GetTextureCount(aiTextureType_OPACITY) > 0) {
    m.alpha = ImportAlpha::kMask;  // an opacity map (OBJ's map_d) cuts holes
  } else if (color.a < 1.0f) {
    m.alpha = ImportAlpha::kBlend;
  }
  aiString texture;
  if (source.GetTexture(aiTextureType_BASE_COLOR, 0, &texture) == AI_SUCCESS ||
      source.GetTexture(aiTextureType_DIFFUSE, 0, &texture) == AI_SUCCESS) {
    ReadTexture(scene, folder, texture, m);
  }
  return m;
}

ImportMesh ReadMesh(const aiMesh& source) {
  ImportMesh mesh;
  mesh.material = static_cast<int>(source.mMaterialIndex);
  const unsigned n = source.mNumVertices;
  mesh.positions.reserve(n);
  for (unsigned i = 0; i < n; ++i) {
    const aiVector3D& p = source.mVertices[i];
    mesh.positions.push_back({p.x, p.y, p.z});
  }
  if (source.HasNormals()) {
    mesh.normals.reserve(n);
    for (unsigned i = 0; i < n; ++i) {
      const aiVector3D& v = source.mNormals[i];
      mesh.normals.push_back({v.x, v.y, v.z});
    }
  }
  if (source.HasTextureCoords(0)) {
    mesh.texCoords.reserve(n);
    for (unsigned i = 0; i < n; ++i) {
      mesh.texCoords.push_back({source.mTextureCoords[0][i].x, source.mTextureCoords[0][i].y});
    }
  }
  if (source.HasVertexColors(0)) {
    mesh.colors.reserve(n);
    for (unsigned i = 0; i < n; ++i) {
      const aiColor4D& c = source.mColors[0][i];
      mesh.colors.push_back({c.r, c.g, c.b, c.a});
    }
  }
  for (unsigned f = 0; f < source.mNumFaces; ++f) {
    const aiFace& face = source.mFaces[f];
    if (face.mNumIndices < 3) continue;  // points and lines draw nothing
    mesh.faceSizes.push_back(face.mNumIndices);
    mesh.indices.insert(mesh.indices.end(), face.mIndices, face.mIndices + face.mNumIndices);
  }
  return mesh;
}

// Parents before children, each node once.
void ReadNodes(const aiNode& node, int parent, int depth, ImportScene& out) {
  if (depth > importwire::kMaxTreeDepth) return;
  ImportNode n;
  n.name = node.mName.C_Str();
  n.parent = parent;
  const aiMatrix4x4& t = node.mTransformation;
  n.matrix = {t.a1, t.a2, t.a3, t.a4, t.b1, t.b2, t.b3, t.b4,
              t.c1, t.c2, t.c3, t.c4, t.d1, t.d2, t.d3, t.d4};
  n.meshes.assign(node.mMeshes, node.mMeshes + node.mNumMeshes);
  out.nodes.push_back(std::move(n));
  const int self = static_cast<int>(out.nodes.size() - 1);
  for (unsigned c = 0; c < node.mNumChildren; ++c)
    ReadNodes(*node.mChildren[c], self, depth + 1, out);
}

double UnitScale(const aiScene& scene) {
  // FBX is the one format whose unit the library leaves to the caller; the
  // others (Collada's <unit>) are already in the root's transform.
  if (scene.mMetaData == nullptr) return 1.0;
  aiString format;
  if (!scene.mMetaData->Get("SourceAsset_Format", format) ||
      std::string(format.C_Str()).find("FBX") == std::string::npos) {
    return 1.0;
  }
  double factor = 0.0;
  float single = 0.0f;
  if (!scene.mMetaData->Get("UnitScaleFactor", factor) &&
      scene.mMetaData->Get("UnitScaleFactor", single)) {
    factor = single;
  }
  return factor > 0.0 ? factor / kCentimetresPerMetre : 1.0;
}

bool WriteAll(const std::vector<std::uint8_t>& bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
         std::fflush(stdout) == 0;
}

int Fail(const std::string& reason) {
  std::fprintf(stderr, "%s\n", reason.c_str());
  return 1;
}

// The path is UTF-8, which the library takes on every system.
int Run(const std::string& path) {
  Assimp::Importer importer;
  // Points and lines are dropped, and so are faces that enclose no area.
  importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE,
                              aiPrimitiveType_POINT | aiPrimitiveType_LINE);
  importer.SetPropertyBool(AI_CONFIG_PP_FD_REMOVE, true);
  // The library's area test has a fixed threshold, which takes small
  // faces of models made in small units for degenerate; the program tests
  // area relative to each face's size.
  importer.SetPropertyBool(AI_CONFIG_PP_FD_CHECKAREA, false);
  constexpr unsigned kSteps = aiProcess_ValidateDataStructure | aiProcess_JoinIdenticalVertices |
                              aiProcess_SortByPType | aiProcess_FindDegenerates | aiProcess_FlipUVs;
  const aiScene* scene = importer.ReadFile(path, kSteps);
  if (scene == nullptr) {
    const std::string error = importer.GetErrorString();
    if (error.find("bad_alloc") != std::string::npos) return Fail(kImportOutOfMemory);
    return Fail(error.empty() ? "the importer found no model in it" : error);
  }
  if (scene->mRootNode == nullptr || scene->mNumMeshes == 0)
    return Fail("the file holds no polygons");
  ImportScene out;
  out.unitScale = UnitScale(*scene);
  const std::filesystem::path folder = syspath::FromUtf8(path).parent_path();
  for (unsigned i = 0; i < scene->mNumMaterials; ++i)
    out.materials.push_back(ReadMaterial(*scene, *scene->mMaterials[i], folder));
  if (out.materials.empty()) out.materials.emplace_back();
  for (unsigned i = 0; i < scene->mNumMeshes; ++i)
    out.meshes.push_back(ReadMesh(*scene->mMeshes[i]));
  ReadNodes(*scene->mRootNode, -1, 0, out);
  std::vector<std::uint8_t> bytes;
  importwire::Encode(out, bytes);
  return WriteAll(bytes) ? 0 : Fail("cannot hand the model over");
}

// The file's name in UTF-8, the one argument there must be.
bool Argument(int argc, char** argv, std::string& path) {
#ifdef _WIN32
  (void)argc;
  (void)argv;
  const std::vector<std::string> args = syspath::Utf8Arguments();
  if (args.size() != 2) return false;
  path = args[1];
  return true;
#else
  if (argc != 2) return false;
  path = argv[1];
  return true;
#endif
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The model goes out as bytes, not as text with its line ends changed,
  // and the one line of a failure ends as it does on POSIX.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(EndOnCrash);
#else
  SetLimits();
#endif
  std::string path;
  if (!Argument(argc, argv, path)) return Fail("usage: zorvik-import-worker FILE");
  try {
    return Run(path);
  } catch (const std::bad_alloc&) {
    return Fail(kImportOutOfMemory);
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}
