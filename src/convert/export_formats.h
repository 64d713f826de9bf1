// The formats a model can be exported to, told apart by the file name's
// extension, and one call that builds the files of any of them.
#pragma once

#include <string>
#include <vector>

#include "convert/export_scene.h"

class CModel;

enum class ExportFormat { kCob, kGlb, kGltf, kObj, kLgmd };

// The format a file name asks for by its extension, in any case; false for
// any other extension or none.
bool ExportFormatOfPath(const std::string& path, ExportFormat& format);

// The format named on a command line ("glb", "OBJ"...), in any case.
bool ExportFormatOfName(const std::string& name, ExportFormat& format);

// The extension of the format's main file, with the dot (".glb").
const char* ExportExtension(ExportFormat format);

// The list a usage message offers: ".cob, .glb, .gltf, .obj or .bin".
std::string ExportExtensionList();

// Whether the format carries colours and textures, so that the model needs
// its palette applied and its textures read before the build.
bool ExportNeedsPalette(ExportFormat format);

// The files an export at outPath writes beside it whatever the model
// holds: the OBJ's material library, the glTF's buffer. Its texture
// pictures depend on the model and come with the build.
std::vector<std::string> ExportCompanionPaths(ExportFormat format, const std::string& outPath);

// Whether the format's main file may replace an existing LGMD model: only
// the LGMD writer's may (never the model it is made from), and none of the
// files that go with it.
bool ExportMayReplaceModel(ExportFormat format);

// Builds every file of the export in memory, the main file (outPath) last,
// or says why not. The LGMD re-save needs the model's file (the overload
// below): this one refuses it.
BuildResult BuildExportFiles(const CModel& model, ExportFormat format, const std::string& outPath,
                             std::vector<OutputFile>& files);

// The same for a model read from modelPath. The LGMD re-save reads that
// file again, since the model on screen carries the palette's colours and
// the file its own, and copies the textures it names into OUT's folder.
BuildResult BuildExportFiles(const CModel& model, const std::string& modelPath, ExportFormat format,
                             const std::string& outPath, std::vector<OutputFile>& files);
