// `zorvik info FILE... [--json] [--full] [--palette N]`: what the viewer
// would load from model files, without a window. The JSON form is meant for
// scripts and tests, so every float is written exactly and the output is
// valid whatever bytes the file's names hold. Several files are described
// in one process, one after the other; one JSON object per line.

#include <cmath>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/palette_textures.h"
#include "cli/subcommand.h"
#include "io/printable_name.h"
#include "io/text.h"
#include "model/model.h"

namespace {

using Json = nlohmann::ordered_json;

struct InfoArgs {
  std::vector<std::string> models;
  bool bJson = false;
  bool bFull = false;
  bool bPalette = false;  // whether --palette was given
  int nPalette = 0;       // any integer, as the configuration's "Region"
};

// A float widened to double is exact, so the number reads back to the same
// float. Non-finite values have no JSON form.
Json Number(double value) { return std::isfinite(value) ? Json(value) : Json(nullptr); }

Json Numbers(const float* values, int count) {
  Json list = Json::array();
  for (int i = 0; i < count; ++i) list.push_back(Number(values[i]));
  return list;
}

Json Point(const Vertex& v) {
  const float xyz[3] = {v.x, v.y, v.z};
  return Numbers(xyz, 3);
}

template <typename Indices>
Json IntList(const Indices& values) {
  Json list = Json::array();
  for (const int value : values) list.push_back(value);
  return list;
}

// Each record of a model's array as JSON, in the file's order.
template <typename Records, typename Describe>
Json ListOf(const Records& records, Describe describe) {
  Json list = Json::array();
  for (const auto& record : records) list.push_back(describe(record));
  return list;
}

Json MaterialFields(const Material& m) {
  return {
      {"name", Latin1ToUtf8(m.strName)}, {"kind", m.nKind},           {"id", m.nId},
      {"color", Numbers(m.fColor, 4)},   {"texNumber", m.nTexNumber}, {"texIndex", m.nTexIndex}};
}

Json SubObjectFields(const SubObject& o) {
  return {{"matrix", Numbers(o.fMatrix, 12)},
          {"parent", o.nParent},
          {"first", o.nFirst},
          {"last", o.nLast}};
}

Json VertexFields(const Vertex& v) {
  const float normal[3] = {v.nx, v.ny, v.nz};
  return {{"pos", Point(v)}, {"normal", Numbers(normal, 3)}, {"count", v.nCount}};
}

Json PolygonList(const CModel& model) {
  return ListOf(model.Polygons(), [&model](const Polygon& p) -> Json {
    Json material = nullptr;
    if (p.pMaterial != nullptr) material = p.pMaterial - model.Materials().data();
    return {{"vertIdx", IntList(p.vecVertIdx)},
            {"texIdx", IntList(p.vecTexIdx)},
            {"auxIdx", IntList(p.vecAuxIdx)},
            {"materialId", p.nMaterialId},
            {"flags", p.byFlags},
            {"material", material},
            {"normal",
             Json::array({Number(p.dNormal[0]), Number(p.dNormal[1]), Number(p.dNormal[2])})}};
  });
}

Json TexCoordFields(const TexCoord& t) { return Json::array({Number(t.u), Number(t.v)}); }

Json PaletteFields(const PaletteReport& report) {
  Json textures = Json::array();
  for (const TextureReport& t : report.textures) {
    Json texture = {{"number", t.number},
                    {"transparent", t.transparent},
                    {"width", t.width},
                    {"height", t.height}};
    if (!t.missingReason.empty()) texture["missingReason"] = t.missingReason;
    textures.push_back(std::move(texture));
  }
  Json missing = Json::array();
  for (const std::string& name : report.missingTextures) missing.push_back(Latin1ToUtf8(name));
  return {
      {"defaultColor", Json::array({Number(report.defaultColor[0]), Number(report.defaultColor[1]),
                                    Number(report.defaultColor[2])})},
      {"textures", textures},
      {"missingTextures", missing}};
}

Json Report(const CModel& model, const InfoArgs& args, const PaletteReport* palette) {
  Json out = {{"name", Latin1ToUtf8(model.Name())},
              {"version", model.Version()},
              {"polygons", model.PolygonCount()},
              {"vertices", model.VertexCount()},
              {"materials", model.MaterialCount()},
              {"subObjects", model.SubObjectCount()},
              {"texCoords", model.TexCoords().size()},
              {"normals", model.Normals().size()},
              {"bboxMin", Point(model.Min())},
              {"bboxMax", Point(model.Max())},
              {"materialList", ListOf(model.Materials(), MaterialFields)},
              {"subObjectList", ListOf(model.SubObjects(), SubObjectFields)}};
  if (palette != nullptr) out.update(PaletteFields(*palette));
  if (args.bFull) {
    out["vertexList"] = ListOf(model.Vertices(), VertexFields);
    out["polygonList"] = PolygonList(model);
    out["texCoordList"] = ListOf(model.TexCoords(), TexCoordFields);
  }
  return out;
}

// Paths are the system's own bytes, shown as they are but for control
// bytes.
std::string PrintablePath(std::string path) {
  for (char& c : path) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) c = '?';
  }
  return path;
}

std::string Summary(const CModel& model) {
  const Vertex& lo = model.Min();
  const Vertex& hi = model.Max();
  const std::string name = PrintableName(model.Name());
  const char* format =
      "Name: %s\nVersion: %d\nPolygons: %d\nVertices: %d\nMaterials: %d\nSub-objects: %d\n"
      "Texture coordinates: %zu\nNormals: %zu\n"
      "Bounding box: (%.9g, %.9g, %.9g) - (%.9g, %.9g, %.9g)\n";
  const auto print = [&](char* out, std::size_t size) {
    return std::snprintf(out, size, format, name.c_str(), model.Version(), model.PolygonCount(),
                         model.VertexCount(), model.MaterialCount(), model.SubObjectCount(),
                         model.TexCoords().size(), model.Normals().size(), lo.x, lo.y, lo.z, hi.x,
                         hi.y, hi.z);
  };
  const int length = print(nullptr, 0);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  print(text.data(), text.size());
  text.resize(static_cast<std::size_t>(length));
  return text;
}

// One model: its summary or its JSON line. With several files each is
// named, so a script can tell which line or block belongs to which file
// even when one of them could not be read.
int DescribeOne(const std::string& path, const InfoArgs& args, bool named) {
  CModel model;
  // The palette converts the material colours and assigns texture indices,
  // so it runs before the material list is taken.
  PaletteReport palette;
  if (args.bPalette) {
    if (!OpenForCommand(model, path, args.nPalette).Ok()) return kExitFailure;
    palette = ReportPalette(model);
  } else if (!ReadModelOrComplain(model, path)) {
    return kExitFailure;
  }
  if (!args.bJson) {
    const std::string header = named ? "File: " + PrintablePath(path) + "\n" : std::string();
    WriteOutput(header + Summary(model));
    return kExitOk;
  }
  Json out = Report(model, args, args.bPalette ? &palette : nullptr);
  if (named) {
    Json line = {{"file", path}};
    line.update(out);
    out = std::move(line);
  }
  // A path that is not UTF-8 keeps its line valid JSON.
  WriteOutput(out.dump(-1, ' ', false, Json::error_handler_t::replace) + '\n');
  return kExitOk;
}

int RunInfo(const InfoArgs& args) {
  const bool named = args.models.size() > 1;
  int status = kExitOk;
  for (std::size_t i = 0; i < args.models.size(); ++i) {
    if (named && !args.bJson && i > 0) WriteOutput("\n");
    if (DescribeOne(args.models[i], args, named) != kExitOk) status = kExitFailure;
    // Nobody sees the rest once the output is lost (a full disk, a closed
    // pipe); the program's end reports it.
    if (std::ferror(stdout)) return kExitFailure;
  }
  return status;
}

}  // namespace

void AddInfoCommand(CLI::App& app, int& exitCode) {
  const auto [cmd, args] = AddSubcommand<InfoArgs>(app, "info", "Describe a model file");
  cmd.add_option("FILE", args->models, "LGMD model files (.bin)")->required();
  CLI::Option* json =
      cmd.add_flag("--json", args->bJson, "Print one JSON object per file, one per line");
  cmd.add_flag("--full", args->bFull,
               "With --json: also every vertex, polygon and texture coordinate")
      ->needs(json);
  CLI::Option* palette = cmd.add_option(
      "--palette", args->nPalette,
      "Convert colours and read textures: 1 Seattle, any other number San Francisco");
  cmd.callback([args, palette, &exitCode] {
    args->bPalette = palette->count() > 0;
    exitCode = RunInfo(*args);
  });
}
