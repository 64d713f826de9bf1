// Memory for the model's big arrays. A model of 32767 polygons needs a few
// megabytes at once, and on first touch every 4 KiB page of them costs the
// kernel a fault of its own: for a one-off `zorvik info` that is most of the
// run. Blocks of 256 KiB or more are therefore asked of the system
// directly, aligned and marked for transparent huge pages, so the same
// megabytes arrive in a handful of faults. Smaller blocks come from the
// ordinary heap. Where the system offers no huge pages nothing changes but
// the alignment.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace largemem {

// Blocks from this size on are mapped for huge pages.
inline constexpr std::size_t kThreshold = std::size_t{256} << 10;

// bytes of uninitialised memory; throws std::bad_alloc when there is none.
void* Allocate(std::size_t bytes);
// Gives back a block from Allocate with the same size.
void Free(void* block, std::size_t bytes) noexcept;

template <typename T>
struct Allocator {
  using value_type = T;
  Allocator() = default;
  template <typename U>
  Allocator(const Allocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(Allocate(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept { Free(p, n * sizeof(T)); }
  template <typename U>
  bool operator==(const Allocator<U>&) const noexcept {
    return true;
  }
};

template <typename T>
using Vector = std::vector<T, Allocator<T>>;

// An owned block of uninitialised T, freed with its size.
template <typename T>
class Block {
 public:
  Block() = default;
  explicit Block(std::size_t count) : m_pData(Allocator<T>().allocate(count)), m_nCount(count) {}
  ~Block() { Reset(); }
  Block(Block&& other) noexcept : m_pData(other.m_pData), m_nCount(other.m_nCount) {
    other.m_pData = nullptr;
    other.m_nCount = 0;
  }
  Block& operator=(Block&& other) noexcept {
    if (this != &other) {
      Reset();
      m_pData = other.m_pData;
      m_nCount = other.m_nCount;
      other.m_pData = nullptr;
      other.m_nCount = 0;
    }
    return *this;
  }
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;

  T* get() const { return m_pData; }
  std::size_t size() const { return m_nCount; }
  void Reset() noexcept {
    if (m_pData != nullptr) Allocator<T>().deallocate(m_pData, m_nCount);
    m_pData = nullptr;
    m_nCount = 0;
  }

 private:
  T* m_pData = nullptr;
  std::size_t m_nCount = 0;
};

}  // namespace largemem
