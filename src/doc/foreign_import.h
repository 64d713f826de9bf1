// Importing a foreign model file: the import worker reads it in a child
// process with its own memory and time limits, the program takes its
// neutral description (as untrusted as the file) and makes the model.
// Shared by `zorvik import` and the viewer's File > Import...
#pragma once

#include <string>
#include <vector>

#include "convert/import_model.h"

// Reads the file at path through the worker (workerPath, or the one beside
// the program when empty) and builds the model, its textures converted
// through palette. Shows nothing; the result says what went wrong.
ImportResult ImportForeignModel(const std::string& path, const ImportOptions& options,
                                const std::vector<PaletteEntry>& palette, ImportedModel& out,
                                const std::string& workerPath = {});

// "cannot import PATH: REASON", as every failure of an import is told.
std::string ImportFailureLine(const std::string& path, const ImportResult& result);
