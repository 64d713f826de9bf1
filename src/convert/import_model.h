// A foreign model, in the neutral form the import worker hands over
// (import_scene.h), made into an LGMD model: its nodes with meshes become
// sub-objects placed where the source had them (trees the format cannot
// hold are flattened with their transforms baked), its faces polygons in
// the order the viewer shows as front, its materials colour or textured
// materials whose pictures go through the palette into ".mip" textures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "convert/import_scene.h"
#include "model/model.h"

struct ImportOptions {
  std::string name;       // the model's name, fitted to its field
  double scale = 1.0;     // on top of the unit the file declares
  bool simplify = false;  // reduce what is over the format's limits
  // The palette the model is shown through: colours are stored so that it
  // shows them as the source had them.
  int palette = 0;
};

// One ".mip" texture to write beside the model: "<material>.mip".
struct ImportedTexture {
  std::string fileName;
  std::vector<std::uint8_t> bytes;
};

enum class ImportStatus {
  kOk,
  kCannotRun,   // the import worker could not be started
  kCannotRead,  // the worker refused the file, crashed or ran out of time or memory
  kNoPolygons,  // nothing in the file that an LGMD model can draw
  kTooLarge,    // over the format's limits, and no --simplify
  kCannotWrite  // the model does not fit the writer
};

struct ImportResult {
  ImportStatus status = ImportStatus::kOk;
  std::string reason;              // one line, without the file's name
  std::vector<std::string> notes;  // renamed materials and objects, textures not read

  bool Ok() const { return status == ImportStatus::kOk; }
};

struct ImportedModel {
  ModelContent content;
  std::vector<ImportedTexture> textures;
};

// Builds the model's content and its textures from scene; palette is the
// palette textures are converted through.
ImportResult BuildImportedModel(const ImportScene& scene, const ImportOptions& options,
                                const std::vector<PaletteEntry>& palette, ImportedModel& out);

// 73562 as "73,562", as the limits' messages count.
std::string GroupedCount(std::size_t count);
