// The per-corner indices of a model's polygons live in one pool owned by the
// model, and each polygon sees its runs through light spans. A model of
// 32767 polygons thus costs a handful of allocations instead of three per
// polygon, and the indices of consecutive polygons sit next to each other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <vector>

#include "model/large_memory.h"

// A read-only run of indices inside an IndexPool. It does not own them: it
// stays valid as long as the pool that made it.
class IndexSpan {
 public:
  using value_type = int;
  using size_type = std::size_t;
  using const_iterator = const int*;
  using iterator = const_iterator;
  using const_reverse_iterator = std::reverse_iterator<const_iterator>;
  using reverse_iterator = const_reverse_iterator;

  IndexSpan() = default;
  IndexSpan(const int* data, std::size_t size)
      : m_pData(data), m_nSize(static_cast<std::uint32_t>(size)) {}

  std::size_t size() const { return m_nSize; }
  bool empty() const { return m_nSize == 0; }
  const int& operator[](std::size_t i) const { return m_pData[i]; }
  const int* data() const { return m_pData; }
  const_iterator begin() const { return m_pData; }
  const_iterator end() const { return m_pData + m_nSize; }
  const_reverse_iterator rbegin() const { return const_reverse_iterator(end()); }
  const_reverse_iterator rend() const { return const_reverse_iterator(begin()); }

 private:
  const int* m_pData = nullptr;
  std::uint32_t m_nSize = 0;
};

// Storage for index runs that never moves once handed out: the pool grows
// by adding blocks, so spans made earlier stay valid. Moving the pool moves
// the blocks themselves, so a model can be handed over whole.
class IndexPool {
 public:
  IndexPool() = default;
  IndexPool(IndexPool&&) noexcept = default;
  IndexPool& operator=(IndexPool&&) noexcept = default;
  IndexPool(const IndexPool&) = delete;
  IndexPool& operator=(const IndexPool&) = delete;

  // Room for `count` indices, left for the caller to fill; may throw
  // std::bad_alloc.
  int* Allocate(std::size_t count);

  // Runs filled by hand, for tests and code that builds polygons itself.
  IndexSpan Add(std::initializer_list<int> values);
  IndexSpan Add(const std::vector<int>& values);
  IndexSpan Filled(std::size_t count, int value);

  // Forgets every run but keeps the blocks, so that filling the pool again
  // reuses memory already in place; spans made before must not be used
  // afterwards.
  void Reset();

 private:
  struct Block {
    largemem::Block<int> pData;
    std::size_t nSize = 0;
  };

  IndexSpan Copy(const int* values, std::size_t count);

  std::vector<Block> m_vecBlocks;
  std::size_t m_nBlock = 0;  // the block runs are taken from
  int* m_pFree = nullptr;
  std::size_t m_nFree = 0;
};
