#include "model/large_memory.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

#include <cstdint>

namespace largemem {
namespace {

#ifdef _WIN32

// Windows has no transparent huge pages; reserving and committing whole
// at once still keeps a large block out of the heap.
void* MapLarge(std::size_t bytes) {
  return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void UnmapLarge(void* block, std::size_t) { VirtualFree(block, 0, MEM_RELEASE); }

#else

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }

void* MapLarge(std::size_t bytes) {
  const std::size_t size = RoundUp(bytes);
  if (size < bytes || size > static_cast<std::size_t>(-1) - kHugePage) return nullptr;
  // One huge page more than needed, so that an aligned start lies inside;
  // the ends beyond it go back at once.
  void* mapped = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
  if (aligned > start) munmap(mapped, aligned - start);
  const std::uintptr_t end = start + size + kHugePage;
  if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
  void* block = reinterpret_cast<void*>(aligned);
  madvise(block, size, MADV_HUGEPAGE);
  return block;
}

void UnmapLarge(void* block, std::size_t bytes) { munmap(block, RoundUp(bytes)); }

#endif

}  // namespace

void* Allocate(std::size_t bytes) {
  if (bytes < kThreshold) return ::operator new(bytes);
  void* block = MapLarge(bytes);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void Free(void* block, std::size_t bytes) noexcept {
  if (block == nullptr) return;
  if (bytes < kThreshold) {
    ::operator delete(block);
    return;
  }
  UnmapLarge(block, bytes);
}

}  // namespace largemem
