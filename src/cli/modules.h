// Loading the program's modules (see platform/module_entry.h).
#pragma once

#include <string>

#include "platform/module_entry.h"

// The entry point `symbol` of the module `name`, looked up beside the
// executable (a build tree, an unpacked folder) and then in the installed
// module directory. Null with the reason in error when it cannot be loaded.
void* LoadModuleEntry(const char* name, const char* symbol, std::string& error);

// Runs the viewer module with the program's arguments; exit status.
int RunViewerModule(int argc, char** argv);

// Runs the render module on checked options; exit status.
int RunRenderModule(const RenderOptions& options);
