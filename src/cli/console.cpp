#include "cli/console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "cli/commands.h"

#include "model/model.h"
#include "platform/stderr_platform.h"

void Complain(const std::string& text) {
  const std::string line = platform::FormatStderrMessage(text);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

bool ReadModelOrComplain(CModel& model, const std::string& path) {
  const ReadResult result = model.Read(path);
  if (result.ok()) return true;
  Complain("cannot read model " + path + ": " + result.Reason());
  return false;
}

std::string BatchOutputPath(const std::string& dir, const std::string& modelPath,
                            const char* extension) {
  return (std::filesystem::path(dir) / std::filesystem::path(modelPath).stem()).string() +
         extension;
}

namespace {

// Why the first write to stdout failed; 0 when none did or it is unknown.
int g_nOutputError = 0;

}  // namespace

bool WriteOutput(const std::string& text) {
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size()) return true;
  if (g_nOutputError == 0) g_nOutputError = errno;
  return false;
}

int CloseStandardOutput(int status) {
  errno = 0;
  const bool flushed = std::fflush(stdout) == 0;
  int reason = flushed ? g_nOutputError : errno;
  if (reason == 0) reason = g_nOutputError;
  const bool written = flushed && !std::ferror(stdout);
  errno = 0;
  const bool closed = std::fclose(stdout) == 0;
  if (!closed && reason == 0) reason = errno;
  // A stdout that was never open has lost nothing when nothing was written
  // to it; only the close notices that it is not there.
  const bool lost = !written || (!closed && reason != EBADF);
  if (!lost) return status;
  std::string text = "cannot write to standard output";
  if (reason != 0) text += std::string(": ") + std::strerror(reason);
  Complain(text);
  return status == kExitOk ? kExitFailure : status;
}
