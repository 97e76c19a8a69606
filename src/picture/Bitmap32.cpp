#include "picture/Bitmap32.h"

#include <cassert>
#include <algorithm>
#include <cstring>

bool PictureSizeAllowed(std::int64_t width, std::int64_t height) {
  return width >= 0 && height >= 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

TBitmap32::TBitmap32(int width, int height, TColor32 fill) { SetSize(width, height, fill); }

TBitmap32 TBitmap32::Share() const {
  TBitmap32 b;
  b.width_ = width_;
  b.height_ = height_;
  b.data_ = data_.Share();
  return b;
}

bool TBitmap32::operator==(const TBitmap32& other) const {
  if (width_ != other.width_ || height_ != other.height_) return false;
  if (data_.SameCells(other.data_)) return true;
  const std::span<const std::uint8_t> a = Bytes(), b = other.Bytes();
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

TBitmap32 TBitmap32::ForOverwrite(int width, int height) {
  TBitmap32 b;
  if (!PictureSizeAllowed(width, height)) return b;
  b.width_ = width;
  b.height_ = height;
  b.data_ = TSharedCells<std::uint8_t>::ForOverwrite(std::size_t(width) * std::size_t(height) * 4);
  return b;
}

bool TBitmap32::SetSize(int width, int height, TColor32 fill) {
  if (!PictureSizeAllowed(width, height)) return false;
  width_ = width;
  height_ = height;
  const std::size_t size = std::size_t(width) * std::size_t(height) * 4;
  // Pixels shared with another picture stay with it.
  data_.Assign(size, 0);
  if (fill != 0) Clear(fill);
  return true;
}

void TBitmap32::Clear(TColor32 fill) {
  auto* p = reinterpret_cast<TColor32*>(Bits());
  std::size_t count = ByteSize() / 4;
  for (std::size_t i = 0; i < count; ++i) p[i] = fill;
}

std::uint8_t* TBitmap32::Row(int y) {
  assert(y >= 0 && y < height_);
  return Bits() + std::size_t(y) * Stride();
}

const std::uint8_t* TBitmap32::Row(int y) const {
  assert(y >= 0 && y < height_);
  return Bits() + std::size_t(y) * Stride();
}

TColor32 TBitmap32::Pixel(int x, int y) const {
  if (!Contains(x, y)) return 0;
  TColor32 c;
  std::memcpy(&c, Row(y) + std::size_t(x) * 4, 4);
  return c;
}

void TBitmap32::SetPixel(int x, int y, TColor32 color) {
  if (!Contains(x, y)) return;
  std::memcpy(Row(y) + std::size_t(x) * 4, &color, 4);
}
