#pragma once
// The cells behind a picture or a region map. A copy copies them; Share() instead
// gives a holder of the same cells until either side writes: the first non-const
// access to shared cells gives the writer its own copy. A writer that hands parts
// to several threads takes Data() first, on its own thread, so that none unshares.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>

#include "platform/ByteBuffer.h"

template <typename Cell>
class TSharedCells {
  static_assert(std::is_trivially_copyable_v<Cell>);

  // Cells as they come from the allocator. A vector constructs and destroys them
  // one by one: a loop that does nothing, but one that instrumented builds keep,
  // so that a picture dropped unread cost a pass over all its memory.
  class Buffer {
   public:
    explicit Buffer(std::size_t count) : cells_(DefaultInitAllocator<Cell>().allocate(count)), size_(count) {}
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    ~Buffer() { DefaultInitAllocator<Cell>().deallocate(cells_, size_); }
    Cell* Data() { return cells_; }
    const Cell* Data() const { return cells_; }
    std::size_t Size() const { return size_; }

   private:
    Cell* cells_;
    std::size_t size_;
  };
  static std::shared_ptr<Buffer> Filled(std::size_t count, Cell fill) {
    auto out = std::make_shared<Buffer>(count);
    std::fill_n(out->Data(), count, fill);
    return out;
  }
  static std::shared_ptr<Buffer> CopyOf(const Buffer& from) {
    auto out = std::make_shared<Buffer>(from.Size());
    if (from.Size() > 0) std::memcpy(out->Data(), from.Data(), from.Size() * sizeof(Cell));
    return out;
  }

 public:
  TSharedCells() = default;
  TSharedCells(std::size_t count, Cell fill) : cells_(Filled(count, fill)) {}
  TSharedCells(const TSharedCells& other) : cells_(other.cells_ ? CopyOf(*other.cells_) : nullptr) {}
  TSharedCells& operator=(const TSharedCells& other) {
    if (this != &other) *this = TSharedCells(other);
    return *this;
  }
  TSharedCells(TSharedCells&&) noexcept = default;
  TSharedCells& operator=(TSharedCells&&) noexcept = default;

  // `count` cells left unset, for a caller that writes every one.
  static TSharedCells ForOverwrite(std::size_t count) {
    TSharedCells out;
    out.cells_ = std::make_shared<Buffer>(count);
    return out;
  }
  // `count` cells of `fill`, in the present buffer unless another holder shares it.
  void Assign(std::size_t count, Cell fill) {
    if (Shared() || !cells_ || cells_->Size() != count) cells_ = std::make_shared<Buffer>(count);
    std::fill_n(cells_->Data(), count, fill);
  }

  TSharedCells Share() const {
    TSharedCells out;
    out.cells_ = cells_;
    return out;
  }
  // True while another holder shares these cells.
  bool Shared() const { return cells_ && cells_.use_count() > 1; }
  bool SameCells(const TSharedCells& other) const { return cells_ == other.cells_; }

  std::size_t Size() const { return cells_ ? cells_->Size() : 0; }
  const Cell* Data() const { return cells_ ? cells_->Data() : nullptr; }
  Cell* Data() {
    if (Shared()) cells_ = CopyOf(*cells_);
    return cells_ ? cells_->Data() : nullptr;
  }

 private:
  std::shared_ptr<Buffer> cells_;  // null when there are none
};
