#pragma once
// Byte vectors whose growth leaves the new bytes as they come, for buffers about
// to be overwritten whole (a file read into, a picture decoded into): clearing
// them first would cost a pass over memory that nothing reads.
//
// Buffers from kLargeBuffer up start on a 2 MiB boundary and ask for transparent
// huge pages: a fresh picture of 64 MiB is then first touched in 32 page faults
// rather than 16,384, which otherwise cost a large load a fifth of its time.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

constexpr std::size_t kLargeBuffer = std::size_t(8) << 20;
// Throws std::bad_alloc when there is no room.
void* AllocateLargeBuffer(std::size_t bytes);
void FreeLargeBuffer(void* buffer) noexcept;

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
  T* allocate(std::size_t n) {
    if (n < kLargeBuffer / sizeof(T)) return std::allocator<T>::allocate(n);
    if (n > std::size_t(-1) / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(AllocateLargeBuffer(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept {
    if (n < kLargeBuffer / sizeof(T)) std::allocator<T>::deallocate(p, n);
    else FreeLargeBuffer(p);
  }
};

using ByteBuffer = std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>>;
