// A model file saved again as LGMD by the writer: the model as its file
// holds it, not as the viewer shows it (no palette applied), with the
// ".mip" files it names copied unchanged beside the new file when that goes
// to another folder, so that the copy opens with its textures.
#pragma once

#include <string>
#include <vector>

#include "convert/export_scene.h"
#include "io/safe_write.h"

// The files of the re-save of the model at modelPath as outPath: the
// texture copies first, the model last; or why not, naming the file. Textures the model names but
// that are not there are not copied; the viewer lists them when the copy is opened. A copy whose
// target holds the same bytes already is left out, so that models sharing textures can be saved
// into one folder in one run.
BuildResult BuildLgmdExport(const std::string& modelPath, const std::string& outPath,
                            std::vector<safewrite::OutputFile>& files);
