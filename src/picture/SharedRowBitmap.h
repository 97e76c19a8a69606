#pragma once
// A picture whose equal rows are held once. Skins and button sheets repeat most of
// their rows (flat panels, the same slider track for every slider, transparent
// padding), so a picture that is only read and drawn keeps a fraction of its
// full size this way.
#include <cstdint>
#include <vector>

#include "picture/Bitmap32.h"

class TSharedRowBitmap {
 public:
  TSharedRowBitmap() = default;
  explicit TSharedRowBitmap(const TBitmap32& picture);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  // Row y (0 = top), Width() pixels; y must be inside the picture.
  const TColor32* Row(int y) const { return pool_.data() + rowStart_[std::size_t(y)]; }
  // 0 outside the picture.
  TColor32 Pixel(int x, int y) const { return Contains(x, y) ? Row(y)[x] : 0; }
  // The rows held, each Width() pixels.
  std::size_t DistinctRows() const { return width_ == 0 ? 0 : pool_.size() / std::size_t(width_); }

  // The whole picture as one bitmap.
  TBitmap32 Unpacked() const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<TColor32> pool_;
  std::vector<std::uint32_t> rowStart_;  // in pixels, into pool_
};

// The part of `source` at (left, top) of the given size, clipped (outside is 0).
TBitmap32 CropBitmap(const TSharedRowBitmap& source, int left, int top, int width, int height);
