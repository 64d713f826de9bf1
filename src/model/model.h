// The in-memory form of one LGMD model file, with the rendering resources
// (palette, texture images, OpenGL texture names) that the open sequence
// attaches to it. One CModel lives inside the document for the whole run;
// every open refills it in place.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// OpenGL polygon modes, kept here so that the model needs no GL header to
// know which look it draws.
inline constexpr int kPolygonModeLine = 0x1B01;  // GL_LINE, wireframe look
inline constexpr int kPolygonModeFill = 0x1B02;  // GL_FILL, textured look

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
};

struct Polygon {
  int nVerts = 0;
  std::vector<int> vecVertIdx;
  std::vector<int> vecTexIdx;
  std::vector<int> vecAuxIdx;
  int nMaterialId = 0;
  double dNormal[3] = {0.0, 0.0, 0.0};
  std::uint8_t byFlags = 0;
  // Non-owning: an element of m_vecMaterials, or null for no material.
  Material* pMaterial = nullptr;
};

struct SubObject {
  float fMatrix[12] = {};
  int nParent = -1;
  int nFirst = 0;
  int nLast = 0;
};

struct TextureEntry {
  int nNumber = 0;
  bool bTransparent = false;
  std::unique_ptr<std::uint8_t[]> pPixels;  // BGRA rows, or null
  // Size of the decoded image, kept so that reports can show it.
  int nWidth = 0;
  int nHeight = 0;
};

// Palette entries hold blue, green, red: the reverse of a palette file line.
using PaletteEntry = std::array<int, 3>;

class CModel {
 public:
  CModel();
  ~CModel();
  CModel(const CModel&) = delete;
  CModel& operator=(const CModel&) = delete;

  // Reader (lgmd_reader.cpp). 0 on success; -1 when the file cannot be
  // read, is not LGMD or is refused as malformed. On -1 nothing changes.
  int Read(const std::string& path, bool altMaterialMode);
  int ReadFromMemory(const std::uint8_t* data, std::size_t size, bool altMaterialMode);
  void SwapRedBlue();

  // Sub-object placement (placement.cpp), run by Read as its last step.
  void PlaceSubObjects();
  void TransformToModel(int index, float& x, float& y, float& z) const;

  // Palette (palette.cpp).
  int LoadPalette(const std::string& path);
  void ApplyPalette(int nPalette);
  void MatchPaletteColors();

  // Textures (textures.cpp). LoadTextures needs a current OpenGL context.
  std::string LoadTextures(const std::string& modelPath);
  void BuildTextureList();
  int ReadMipFile(const std::string& path, TextureEntry& entry, int& width, int& height);
  // The reading half of LoadTextures with no OpenGL call: rebuilds the
  // texture list and reads every texture into its entry. Returns the same
  // list of missing files.
  std::string ReadTextureImages(const std::string& modelPath);

  // Drawing (draw.cpp), with the view's context current.
  void Draw();

  // trueSpace export (cob_export.cpp).
  int ExportCob(const std::string& path, std::string& strError);

  std::string m_strName;
  int m_nVersion = 0;
  int m_nPolygons = 0;
  int m_nVertices = 0;
  int m_nMaterials = 0;
  int m_nSubObjects = 0;
  std::vector<int> m_vecSectionOffsets;
  std::vector<Material> m_vecMaterials;
  std::vector<Vertex> m_vecVertices;
  std::vector<Vertex> m_vecNormals;
  std::vector<Polygon> m_vecPolygons;
  std::vector<TexCoord> m_vecTexCoords;
  std::vector<TextureEntry> m_vecTextures;
  std::vector<SubObject> m_vecSubObjects;
  Vertex m_ptMin;
  Vertex m_ptMax;
  int m_nCurSubObject = 0;
  int m_nTextures = 0;
  int m_nPolygonMode = kPolygonModeFill;
  double m_dDefRed = 0.0;
  double m_dDefGreen = 0.0;
  double m_dDefBlue = 0.0;
  std::unique_ptr<unsigned int[]> m_pTexNames;  // OpenGL texture names
  std::vector<PaletteEntry> m_vecPalette;
};
