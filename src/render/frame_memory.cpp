#include "render/frame_memory.h"

#include <malloc.h>

namespace render {

#ifdef __GLIBC__

namespace {

// Blocks below this come from the heap, where freed ones are reused; only
// larger ones are mapped and unmapped one by one.
constexpr int kMappedFrom = 4 << 20;
// The heap's free top is kept up to this size instead of being trimmed at
// the end of each frame; ReleaseFreedMemory trims it at a model change.
constexpr int kKeptFreeTop = 1 << 30;

}  // namespace

void KeepFreedMemoryForFrames() {
  static const bool kept = [] {
    mallopt(M_MMAP_THRESHOLD, kMappedFrom);
    mallopt(M_TRIM_THRESHOLD, kKeptFreeTop);
    return true;
  }();
  static_cast<void>(kept);
}

void ReleaseFreedMemory() { malloc_trim(0); }

#else

// Other C libraries (Windows' heap) keep freed blocks for reuse already.
void KeepFreedMemoryForFrames() {}

void ReleaseFreedMemory() {}

#endif

}  // namespace render
