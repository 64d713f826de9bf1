#include "cli/report.h"

#include <cstdio>

#include "model/model.h"
#include "platform/stderr_platform.h"

void Complain(const std::string& text) {
  const std::string line = platform::FormatStderrMessage(text);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

bool ReadModelOrComplain(CModel& model, const std::string& path) {
  ReadResult result;
  if (model.Read(path, result) == 0) return true;
  Complain("cannot read model " + path + ": " + result.Reason());
  return false;
}
