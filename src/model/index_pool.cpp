#include "model/index_pool.h"

#include <algorithm>

namespace {

// Blocks start small, so a small model costs little, and double up to a
// size where one more allocation no longer matters.
constexpr std::size_t kFirstBlock = 4096;
constexpr std::size_t kLargestBlock = std::size_t{1} << 20;

}  // namespace

int* IndexPool::Allocate(std::size_t count) {
  while (count > m_nFree) {
    // The next block kept from before, if it is large enough; otherwise a
    // new one, twice the size of the last.
    const std::size_t next = m_pFree == nullptr ? 0 : m_nBlock + 1;
    if (next < m_vecBlocks.size() && m_vecBlocks[next].nSize >= count) {
      m_nBlock = next;
    } else {
      const std::size_t last = m_vecBlocks.empty() ? 0 : m_vecBlocks.back().nSize;
      const std::size_t size = std::max(count, std::clamp(2 * last, kFirstBlock, kLargestBlock));
      Block block{largemem::Block<int>(size), size};
      m_nBlock = std::min(next, m_vecBlocks.size());
      m_vecBlocks.insert(m_vecBlocks.begin() + static_cast<std::ptrdiff_t>(m_nBlock),
                         std::move(block));
    }
    m_pFree = m_vecBlocks[m_nBlock].pData.get();
    m_nFree = m_vecBlocks[m_nBlock].nSize;
  }
  int* run = m_pFree;
  m_pFree += count;
  m_nFree -= count;
  return run;
}

IndexSpan IndexPool::Copy(const int* values, std::size_t count) {
  int* run = Allocate(count);
  std::copy(values, values + count, run);
  return IndexSpan(run, count);
}

IndexSpan IndexPool::Add(std::initializer_list<int> values) {
  return Copy(values.begin(), values.size());
}

IndexSpan IndexPool::Add(const std::vector<int>& values) {
  return Copy(values.data(), values.size());
}

IndexSpan IndexPool::Filled(std::size_t count, int value) {
  int* run = Allocate(count);
  std::fill(run, run + count, value);
  return IndexSpan(run, count);
}

void IndexPool::Reset() {
  m_nBlock = 0;
  m_pFree = nullptr;
  m_nFree = 0;
}
