// What the import worker may use, shared by the worker, which sets the
// limits on itself on POSIX, and the program, which keeps a clock on it,
// puts the limits on the worker's job on Windows, and names the limit a
// file ran into.
#pragma once

#include <cstdint>

// Address space: a file that needs more is refused rather than taking the
// machine's memory.
inline constexpr std::uint64_t kImportMemoryLimit = std::uint64_t{2} << 30;
// Processor time in the worker and wall-clock time in the program.
inline constexpr std::uint64_t kImportTimeLimitSeconds = 60;
// The worker's one line when its memory ran out.
inline constexpr const char* kImportOutOfMemory =
    "reading it needs more than the 2 GiB of memory an import may use";
// The name of the worker's executable, beside the program's modules.
inline constexpr const char* kImportWorkerName = "zorvik-import-worker";
