#pragma once
// Bytes read a part at a time from where they lie: in memory, or in a file read
// at positions, so that a large file is decoded without a copy of it in memory.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

#include "platform/ByteBuffer.h"

namespace fs = std::filesystem;

class TByteSource {
 public:
  // Bytes in memory (not owned; they must outlive the source).
  explicit TByteSource(std::span<const std::uint8_t> memory) : memory_(memory), size_(memory.size()) {}
  // A regular file, read only; nullptr when it cannot be opened or is not one.
  static std::unique_ptr<TByteSource> OpenFile(const fs::path& path);
  ~TByteSource();
  TByteSource(const TByteSource&) = delete;
  TByteSource& operator=(const TByteSource&) = delete;

  std::uint64_t Size() const { return size_; }
  // The `n` bytes at `at`: in place, or read into `held`; nullptr when they pass
  // Size() or the file gives fewer (it shrank) or cannot be read. Threads may
  // read at once, each with a `held` of its own.
  const std::uint8_t* Get(std::uint64_t at, std::size_t n, ByteBuffer& held) const;

 private:
  TByteSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  std::span<const std::uint8_t> memory_;
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

// A stretch of a source: a stream inside a container, say.
struct TByteRange {
  const TByteSource* Source = nullptr;
  std::uint64_t Offset = 0;
  std::uint64_t Size = 0;
  // The `n` bytes at `at` within the stretch, as TByteSource::Get.
  const std::uint8_t* Get(std::uint64_t at, std::size_t n, ByteBuffer& held) const {
    if (!Source || at > Size || n > Size - at) return nullptr;
    return Source->Get(Offset + at, n, held);
  }
};
