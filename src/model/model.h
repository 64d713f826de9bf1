// The in-memory form of one LGMD model file, with the palette and the
// palette-converted texture images that the open sequence attaches to it.
// No OpenGL here: the renderer keeps its texture names beside the model.
// One CModel lives inside the document for the whole run; every open
// refills it in place.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "model/index_pool.h"
#include "model/large_memory.h"
#include "model/read_result.h"

// A byte b becomes b * kByteToUnit: the double nearest 1/255, always used as
// a product so that colours round the same way everywhere.
inline constexpr double kByteToUnit = 0.00392156862745098;

struct Vertex {
  float x = 0.0f, y = 0.0f, z = 0.0f;
  float nx = 0.0f, ny = 0.0f, nz = 0.0f;
  // While reading: how many polygon corners use the vertex. After placement:
  // 1 when the vertex was moved into model space, 0 otherwise.
  int nCount = 0;
};

// Turns the sums of face normals gathered in each vertex (nCount of them)
// into their plain average, not re-normalised. A vertex no polygon uses
// keeps a zero normal rather than 0/0.
void AverageVertexNormals(std::span<Vertex> vertices);

struct TexCoord {
  float u = 0.0f, v = 0.0f;
};

struct Material {
  std::string strName;
  int nKind = 0;  // 0 textured, 1 colour, anything else matches no polygon
  int nId = 0;
  float fColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  int nTexNumber = 0;
  int nTexIndex = -1;
  // The last five bytes of the record, which nothing here interprets; kept
  // so that a re-save gives them back.
  std::array<std::uint8_t, 5> byUnused{};
};

// The three index runs live in the model's m_indexPool; a polygon built by
// hand gets them from there too (m_indexPool.Add({0, 1, 2})).
struct Polygon {
  int nVerts = 0;
  IndexSpan vecVertIdx;
  IndexSpan vecTexIdx;
  IndexSpan vecAuxIdx;
  int nMaterialId = 0;
  // The entry of m_vecNormals that dNormal was copied from.
  int nNormalIndex = 0;
  double dNormal[3] = {0.0, 0.0, 0.0};
  std::uint8_t byFlags = 0;
  // Bytes of the record nothing here interprets, kept for a re-save: the
  // first two, the four after the normal index, and the byte that ends a
  // version-4 record.
  std::array<std::uint8_t, 7> byUnused{};
  // Non-owning: an element of m_vecMaterials, or null for no material.
  Material* pMaterial = nullptr;
};

// The size of an object record in the file.
inline constexpr std::size_t kObjectRecordSize = 93;

struct SubObject {
  float fMatrix[12] = {};
  int nParent = -1;
  int nFirst = 0;
  int nLast = 0;
  // The record as read: its name and the bytes nothing here interprets go
  // back into a re-save, the fields above are written over them. All zero
  // for an object made in code.
  std::array<std::uint8_t, kObjectRecordSize> byRecord{};
};

// The bytes of the file header nothing here interprets: offsets 16 to 59,
// 64 and 65, 67 and 68, in that order.
inline constexpr std::size_t kHeaderUnusedSize = 48;

struct TextureEntry {
  int nNumber = 0;
  bool bTransparent = false;
  // BGRA rows, or null. Materials that name the same file with the same
  // transparency share one image.
  std::shared_ptr<std::uint8_t[]> pPixels;
  // Size of the decoded image, kept so that reports can show it.
  int nWidth = 0;
  int nHeight = 0;
  // Why the image is missing, for reports; empty when it was read.
  std::string strMissingReason;
};

// The largest texture side read when no graphics driver gives its own
// limit (`info` and `export`, which have no OpenGL): an image of 8192 x 8192
// already takes 256 MiB once converted.
inline constexpr int kHeadlessMaxTextureSide = 8192;

// A palette file is a few kilobytes of text (256 lines of three numbers);
// anything larger is not a palette and is refused before it is read.
inline constexpr std::size_t kMaxPaletteFileSize = 64 * 1024;

// Material kinds as the file stores them.
inline constexpr int kTexturedKind = 0;
inline constexpr int kColourKind = 1;

// Palette entries hold blue, green, red: the reverse of a palette file line.
using PaletteEntry = std::array<int, 3>;

// Everything a model file supplies, as a plain struct: the reader builds
// one apart from the open model and swaps it in only when the file was
// accepted, and code that makes a model (an import, a test) fills one and
// hands it to CModel::Assign.
struct ModelContent {
  std::string m_strName;
  int m_nVersion = 0;
  int m_nPolygons = 0;
  int m_nVertices = 0;
  int m_nMaterials = 0;
  int m_nSubObjects = 0;
  std::vector<int> m_vecSectionOffsets;
  // What a re-save needs beyond the fields above (lgmd_writer.h): the
  // header's uninterpreted bytes, the root object's record whole (empty
  // when the model was not read from a file that holds it) and the vertex
  // section as the file stores it, each position in its sub-object's
  // frame, since placement moves m_vecVertices into model space. Kept as
  // bytes: one copy of the section costs the reader far less than a
  // second array of positions.
  std::array<std::uint8_t, kHeaderUnusedSize> m_byHeaderUnused{};
  std::vector<std::uint8_t> m_byRootObject;
  std::vector<std::uint8_t> m_byFilePositions;
  std::vector<Material> m_vecMaterials;
  // The arrays that grow with the model take their memory in large blocks
  // (see large_memory.h).
  largemem::Vector<Vertex> m_vecVertices;
  largemem::Vector<Vertex> m_vecNormals;
  // "struct": where <windows.h> is included, its GDI function Polygon
  // hides the type's plain name.
  largemem::Vector<struct Polygon> m_vecPolygons;
  // Holds the index runs of every polygon of m_vecPolygons.
  IndexPool m_indexPool;
  largemem::Vector<TexCoord> m_vecTexCoords;
  std::vector<SubObject> m_vecSubObjects;
  // The bounding box starts inverted so that the first vertex sets both
  // corners.
  Vertex m_ptMin{1e8f, 1e8f, 1e8f};
  Vertex m_ptMax{-1e8f, -1e8f, -1e8f};
  int m_nCurSubObject = 0;
};

namespace safewrite {
struct WriteResult;
}

// The reader's working storage (lgmd_reader.cpp).
struct ReadScratch;
struct ReadScratchDeleter {
  void operator()(ReadScratch* scratch) const;
};

// The model's data is private: the reader, the placement pass, the palette
// and the texture steps change it; every other layer reads it through the
// accessors below.
class CModel : private ModelContent {
 public:
  CModel();
  ~CModel();
  CModel(const CModel&) = delete;
  CModel& operator=(const CModel&) = delete;

  // Reader (lgmd_reader.cpp). When the file cannot be read, is not LGMD or
  // is refused as malformed, the result says why and nothing changes.
  ReadResult Read(const std::string& path);
  ReadResult ReadFromMemory(const std::uint8_t* data, std::size_t size);
  void SwapRedBlue();

  // Replaces the file content with one made in code, as a read would (the
  // caller places the sub-objects when its positions are in their frames),
  // and gives the old content back. The palette and textures stay.
  ModelContent Assign(ModelContent content);

  // Sub-object placement (placement.cpp), run by Read as its last step.
  void PlaceSubObjects();
  void TransformToModel(int index, float& x, float& y, float& z) const;

  // Palette (palette.cpp). When the file cannot be read, or is larger than
  // any palette (kMaxPaletteFileSize), the result says why and the palette
  // stays as it was.
  ReadResult LoadPalette(const std::string& path);
  void ApplyPalette(int nPalette);
  void MatchPaletteColors();

  // Texture images (texture_images.cpp): the ".mip" files beside the model
  // converted through the palette. The renderer's LoadTextures runs this
  // and uploads what it read.
  void BuildTextureList();
  // Reads one ".mip" file into entry; false with the reason in the entry's
  // strMissingReason when it cannot be read, is empty or has a side longer
  // than maxSide (checked before any pixel is allocated).
  bool ReadMipFile(const std::string& path, TextureEntry& entry,
                   int maxSide = kHeadlessMaxTextureSide);
  // Rebuilds the texture list and reads every texture into its entry, each
  // file once: materials naming the same file with the same transparency
  // share its image. Returns the list of files that could not be read (see
  // MissingTextureList).
  std::string ReadTextureImages(const std::string& modelPath,
                                int maxSide = kHeadlessMaxTextureSide);
  // Texture images that come from elsewhere than files beside the model (a
  // model made in memory), one entry per textured material as
  // BuildTextureList makes them.
  void SetTextures(std::vector<TextureEntry> textures) { m_vecTextures = std::move(textures); }
  // A palette made in code, in place of LoadPalette.
  void SetPalette(std::vector<PaletteEntry> palette) { m_vecPalette = std::move(palette); }
  // Drops the image of a texture the renderer could not use, with the
  // reason, so that it is listed with the missing ones.
  void MarkTextureMissing(std::size_t index, std::string reason);
  // The texture files beside modelPath that the textured materials name,
  // found as ReadTextureImages finds them, each once, in material order;
  // names with no file are left out.
  std::vector<std::string> TextureFilePaths(const std::string& modelPath) const;
  // The file name of every textured material whose entry holds no image, in
  // material order: a name may come twice. The names are the file's bytes
  // as they are, for callers that escape them in their own way (JSON).
  std::vector<std::string> MissingTextureFiles() const;
  // The list as the open sequence shows it: "\r\n" before each name, and
  // control bytes in a name escaped (PrintableName) so that a name cannot
  // steer a terminal or break the list's lines.
  std::string MissingTextureList() const;

  // trueSpace export (convert/cob_export.cpp): the file written, or why
  // not; an existing model file is never replaced.
  safewrite::WriteResult ExportCob(const std::string& path) const;

  const ModelContent& Content() const { return *this; }
  const std::string& Name() const { return m_strName; }
  int Version() const { return m_nVersion; }
  // The counts as the file gives them.
  int PolygonCount() const { return m_nPolygons; }
  int VertexCount() const { return m_nVertices; }
  int MaterialCount() const { return m_nMaterials; }
  int SubObjectCount() const { return m_nSubObjects; }
  const std::vector<Material>& Materials() const { return m_vecMaterials; }
  const largemem::Vector<Vertex>& Vertices() const { return m_vecVertices; }
  const largemem::Vector<Vertex>& Normals() const { return m_vecNormals; }
  const largemem::Vector<struct Polygon>& Polygons() const { return m_vecPolygons; }
  const largemem::Vector<TexCoord>& TexCoords() const { return m_vecTexCoords; }
  const std::vector<SubObject>& SubObjects() const { return m_vecSubObjects; }
  const Vertex& Min() const { return m_ptMin; }
  const Vertex& Max() const { return m_ptMax; }
  const std::vector<TextureEntry>& Textures() const { return m_vecTextures; }
  const std::vector<PaletteEntry>& Palette() const { return m_vecPalette; }
  // The colour of polygons without a material, red, green, blue.
  const std::array<double, 3> DefaultColor() const { return {m_dDefRed, m_dDefGreen, m_dDefBlue}; }

 private:
  std::vector<TextureEntry> m_vecTextures;
  double m_dDefRed = 0.0;
  double m_dDefGreen = 0.0;
  double m_dDefBlue = 0.0;
  std::vector<PaletteEntry> m_vecPalette;

  // A read fills a content of its own and swaps it in only when the file
  // was accepted; the content it swapped out is kept here, with the buffer
  // the file was read into, and the next read fills that storage again.
  // Memory already in place is far cheaper to fill than fresh pages, and a
  // model is read again at every palette switch.
  std::unique_ptr<ReadScratch, ReadScratchDeleter> m_pReadScratch;

  bool EnsureReadScratch(ReadResult& result);
};
