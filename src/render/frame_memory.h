// How the process keeps the memory the driver frees between frames.
#pragma once

namespace render {

// Mesa's software renderer allocates its per-frame memory (the binned
// scene, the vertices of each draw) anew on every frame and frees it at the
// end. Left to itself, the C library hands large freed blocks back to the
// kernel and only learns over many frames to keep them: until then every
// frame faults the same memory in again, and a heavy frame took ten times
// as long (600 ms instead of 50 ms). From the first call on, freed blocks
// below 4 MiB stay with the process for reuse.
void KeepFreedMemoryForFrames();

// Gives the memory that stays free back to the kernel: called when a model
// replaces another, so that a heavy model's frames do not hold memory after
// it is gone.
void ReleaseFreedMemory();

}  // namespace render
