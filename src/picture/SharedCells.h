#pragma once
// The cells behind a picture or a region map. A copy copies them; Share() instead
// gives a holder of the same cells until either side writes: the first non-const
// access to shared cells gives the writer its own copy. A writer that hands parts
// to several threads takes Data() first, on its own thread, so that none unshares.
#include <cstddef>
#include <memory>
#include <vector>

#include "platform/ByteBuffer.h"

template <typename Cell>
class TSharedCells {
 public:
  using Buffer = std::vector<Cell, DefaultInitAllocator<Cell>>;

  TSharedCells() = default;
  TSharedCells(std::size_t count, Cell fill) : cells_(std::make_shared<Buffer>(count, fill)) {}
  TSharedCells(const TSharedCells& other) : cells_(other.cells_ ? std::make_shared<Buffer>(*other.cells_) : nullptr) {}
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
    if (Shared() || !cells_) cells_ = std::make_shared<Buffer>();
    cells_->assign(count, fill);
  }

  TSharedCells Share() const {
    TSharedCells out;
    out.cells_ = cells_;
    return out;
  }
  // True while another holder shares these cells.
  bool Shared() const { return cells_ && cells_.use_count() > 1; }
  bool SameCells(const TSharedCells& other) const { return cells_ == other.cells_; }

  std::size_t Size() const { return cells_ ? cells_->size() : 0; }
  const Cell* Data() const { return cells_ ? cells_->data() : nullptr; }
  Cell* Data() {
    if (Shared()) cells_ = std::make_shared<Buffer>(*cells_);
    return cells_ ? cells_->data() : nullptr;
  }

 private:
  std::shared_ptr<Buffer> cells_;  // null when there are none
};
