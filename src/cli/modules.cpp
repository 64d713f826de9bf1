#include "cli/modules.h"

#include <dlfcn.h>
#include <unistd.h>

#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "platform/posix_paths.h"

#ifndef ZORVIK_MODULE_DIR_FROM_BIN
#define ZORVIK_MODULE_DIR_FROM_BIN "../lib/zorvik"
#endif

namespace {

// Beside the executable first, so a build tree or an unpacked folder uses
// its own modules even when an installed copy exists.
std::vector<std::string> Candidates(const char* name) {
  const std::string dir = platform::ExecutableDirectory();
  if (dir.empty()) return {};
  return {dir + name, dir + ZORVIK_MODULE_DIR_FROM_BIN + "/" + name};
}

}  // namespace

void* LoadModuleEntry(const char* name, const char* symbol, std::string& error) {
  error.clear();
  const std::vector<std::string> paths = Candidates(name);
  for (const std::string& path : paths) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      // A module that exists but will not load says why; a missing one lets
      // the next place be tried.
      if (error.empty() && access(path.c_str(), F_OK) == 0) error = dlerror();
      continue;
    }
    if (void* entry = dlsym(handle, symbol)) return entry;
    error = path + " has no entry point " + symbol;
    dlclose(handle);
    return nullptr;
  }
  if (error.empty()) error = std::string(name) + " was not found beside the program";
  return nullptr;
}

int RunViewerModule(int argc, char** argv) {
  std::string error;
  auto entry = reinterpret_cast<ViewerMainFn>(LoadModuleEntry(kViewerModule, kViewerEntry, error));
  if (entry == nullptr) {
    Complain("cannot start the viewer: " + error);
    return kExitFailure;
  }
  return entry(argc, argv);
}

int RunRenderModule(const RenderOptions& options) {
  std::string error;
  auto entry =
      reinterpret_cast<RenderModelsFn>(LoadModuleEntry(kRenderModule, kRenderEntry, error));
  if (entry == nullptr) {
    Complain("cannot load the renderer: " + error);
    return kExitFailure;
  }
  return entry(&options);
}
