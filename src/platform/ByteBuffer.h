#pragma once
// Byte vectors whose growth leaves the new bytes as they come, for buffers about
// to be overwritten whole (a file read into, a picture decoded into): clearing
// them first would cost a pass over memory that nothing reads.
#include <cstdint>
#include <memory>
#include <vector>

template <typename T>
struct DefaultInitAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  DefaultInitAllocator() = default;
  template <typename U>
  DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}
  // Value-less construction default-initialises: no write for plain bytes.
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

using ByteBuffer = std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>>;
