// The big-block memory of the model's arrays: every byte asked for is
// usable, and giving blocks back returns all of their mapping.
#include "model/large_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

namespace {

// The process's mapped memory in KiB, from the kernel's own accounting.
long MappedKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmSize:", 0) == 0) return std::stol(line.substr(7));
  }
  return -1;
}

// Writes every byte of a fresh block of `size` and gives it back.
void UseBlock(std::size_t size) {
  auto* block = static_cast<unsigned char*>(largemem::Allocate(size));
  std::memset(block, 0xA5, size);  // every byte asked for can be written
  EXPECT_EQ(block[size - 1], 0xA5);
  largemem::Free(block, size);
}

TEST(LargeMemory, BlocksOfEverySizeAreWholeAndGoBackWhole) {
  // Small blocks come from the heap, which may keep them after they go back
  // (a checking allocator holds freed blocks aside on purpose), so only the
  // blocks taken straight from the kernel are counted below.
  for (std::size_t size : {std::size_t{1}, largemem::kThreshold - 1}) UseBlock(size);

  const long before = MappedKiB();
  for (int round = 0; round < 50; ++round) {
    for (std::size_t size :
         {largemem::kThreshold, (std::size_t{3} << 20) + 1, std::size_t{8} << 20}) {
      UseBlock(size);
    }
  }
  // Fifty rounds of some 11 MiB each: a mapping left behind would show.
  EXPECT_LT(MappedKiB() - before, 4096) << "mappings kept after their blocks went back";

  largemem::Vector<int> grown;
  for (int i = 0; i < 1'000'000; ++i) grown.push_back(i);
  EXPECT_EQ(grown[999'999], 999'999);
}

}  // namespace
