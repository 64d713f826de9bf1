// The `zorvik` program: a first argument that names a command runs it here,
// without a display; a model name or nothing opens the window, which the
// viewer module brings in only then. Wrong arguments are refused before
// either, so no toolkit starts just to fail.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "io/system_path.h"
#endif

#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/modules.h"

namespace {

// argv as the C entry points take it; the strings stay owned by args.
std::vector<char*> ArgvOf(std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  return argv;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // What the commands print is the same bytes as on POSIX: no "\r" is
  // added before each "\n".
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::vector<std::string> utf8 = syspath::Utf8Arguments();
  std::vector<char*> utf8Argv = ArgvOf(utf8);
  if (!utf8.empty()) {
    argc = static_cast<int>(utf8.size());
    argv = utf8Argv.data();
  }
#endif
  Invocation invocation = ParseInvocation(argc, argv);
  std::vector<char*> args = ArgvOf(invocation.args);
  const int count = static_cast<int>(invocation.args.size());
  switch (invocation.kind) {
    case Invocation::Kind::UsageError:
      std::fputs(invocation.error.c_str(), stderr);
      return kExitUsage;
    case Invocation::Kind::Command:
      return CloseStandardOutput(RunCli(count, args.data()));
    case Invocation::Kind::Viewer:
      break;
  }
  return RunViewerModule(count, args.data());
}
