#include "platform/ByteBuffer.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace {
constexpr std::size_t kHugePage = std::size_t(2) << 20;
}  // namespace

void* AllocateLargeBuffer(std::size_t bytes) {
  void* buffer = nullptr;
  if (posix_memalign(&buffer, kHugePage, bytes) != 0) throw std::bad_alloc();
  // Only a hint: without huge pages the buffer works the same.
  madvise(buffer, bytes, MADV_HUGEPAGE);
  return buffer;
}

void FreeLargeBuffer(void* buffer) noexcept { std::free(buffer); }
