#include "doc/foreign_import.h"

#include <string>

#include "convert/import_limits.h"
#include "convert/import_wire.h"
#include "io/file_bytes.h"
#include "platform/child_process.h"

namespace {

// The most the worker may hand over: the largest scene the wire format
// takes is far below this.
constexpr std::size_t kMaxWorkerOutput = std::size_t{1} << 30;

ImportResult Failure(ImportStatus status, std::string reason) {
  ImportResult result;
  result.status = status;
  result.reason = std::move(reason);
  return result;
}

// Why the worker gave no scene, in the user's terms.
std::string WorkerFailure(const platform::ChildResult& child) {
  const std::string seconds = std::to_string(kImportTimeLimitSeconds) + " s";
  switch (child.status) {
    case platform::ChildStatus::kTimedOut:
      return "the importer took longer than " + seconds;
    case platform::ChildStatus::kTooMuchOutput:
      return "the importer made more than 1 GiB of it";
    case platform::ChildStatus::kCpuTime:
      return "the importer needed more than " + seconds + " of processor time";
    case platform::ChildStatus::kSignalled:
      return "the importer stopped (" + platform::AbnormalEnd(child) + ")";
    default:
      break;
  }
  // The worker's own one line, up to its first line break.
  std::string line = child.err.substr(0, child.err.find('\n'));
  if (line.empty())
    line = "the importer failed (exit status " + std::to_string(child.exitCode) + ")";
  return line;
}

}  // namespace

ImportResult ImportForeignModel(const std::string& path, const ImportOptions& options,
                                const std::vector<PaletteEntry>& palette, ImportedModel& out,
                                const std::string& workerPath) {
  // A fifo or a device would hold the worker until its clock ran out; such
  // a name is refused by its type, as the model reader refuses it.
  {
    filebytes::CInputFile file;
    std::string reason;
    if (!file.Open(path, reason)) return Failure(ImportStatus::kCannotRead, reason);
  }
  const std::string worker =
      workerPath.empty() ? platform::HelperProgramPath(kImportWorkerName) : workerPath;
  if (worker.empty()) {
    return Failure(ImportStatus::kCannotRun,
                   std::string(kImportWorkerName) + " was not found beside the program");
  }
  platform::ChildLimits limits;
  limits.deadline = std::chrono::seconds(kImportTimeLimitSeconds);
  limits.maxOutput = kMaxWorkerOutput;
  limits.memory = kImportMemoryLimit;
  limits.processorTime = std::chrono::seconds(kImportTimeLimitSeconds);
  platform::ChildResult child = platform::RunChild(worker, {path}, limits);
  if (child.status == platform::ChildStatus::kCannotStart) {
    return Failure(ImportStatus::kCannotRun, "cannot start " + worker + ": " + child.reason);
  }
  if (child.status != platform::ChildStatus::kExited || child.exitCode != 0) {
    return Failure(ImportStatus::kCannotRead, WorkerFailure(child));
  }
  ImportScene scene;
  std::string error;
  if (!importwire::Decode(child.out.data(), child.out.size(), scene, error)) {
    return Failure(ImportStatus::kCannotRead, error);
  }
  child.out = {};
  return BuildImportedModel(scene, options, palette, out);
}

std::string ImportFailureLine(const std::string& path, const ImportResult& result) {
  return "cannot import " + path + ": " + result.reason;
}
