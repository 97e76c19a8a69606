#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <unistd.h>

#include "platform/Memory.h"

namespace {

[[maybe_unused]] long ResidentKiB() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  long size = 0, resident = 0;
  if (!f) return -1;
  if (std::fscanf(f, "%ld %ld", &size, &resident) != 2) resident = -1;
  std::fclose(f);
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace

TEST(ReleaseFreedMemory, GivesBackThePagesOfBlocksFreedInsideTheHeap) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizer's allocator keeps its own pages: only the C library's heap is checked";
#else
  // Blocks below the mapping threshold come from the heap; the last one stays, so
  // the freed ones lie inside the heap rather than at its end.
  constexpr std::size_t kBlock = 64 * 1024, kBlocks = 96;
  std::vector<std::unique_ptr<char[]>> blocks;
  for (std::size_t i = 0; i < kBlocks; ++i) {
    blocks.push_back(std::make_unique<char[]>(kBlock));
    std::memset(blocks.back().get(), int(i + 1), kBlock);
  }
  auto kept = std::make_unique<char[]>(kBlock);
  std::memset(kept.get(), 1, kBlock);
  blocks.clear();
  const long before = ResidentKiB();
  ReleaseFreedMemory();
  const long after = ResidentKiB();
  ASSERT_GT(before, 0);
  EXPECT_LT(after, before - long(kBlocks * kBlock / 1024) / 2) << before << " KiB before, " << after << " after";
#endif
}
