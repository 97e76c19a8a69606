#pragma once
// The in-memory picture: 32 bits a pixel, bytes B, G, R, A, rows top to bottom,
// no padding between rows (stride = 4 * width).
//
// A copy is a copy of the pixels; Share() instead gives a picture holding the same
// pixels until either side is written (see SharedCells.h). A writer that hands
// rows to several threads takes Bits() first, on its own thread.
#include <cstddef>
#include <cstdint>
#include <span>

#include "picture/SharedCells.h"

// Pictures larger than this are refused wherever a size comes from outside.
constexpr int kMaxPictureSide = 16384;
constexpr std::int64_t kMaxPicturePixels = std::int64_t(1) << 28;
// True when a picture of w x h may be allocated (both sides >= 0, within the caps).
bool PictureSizeAllowed(std::int64_t width, std::int64_t height);

// A pixel value as it sits in memory on a little-endian machine: 0xAARRGGBB.
using TColor32 = std::uint32_t;
constexpr TColor32 Color32(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
  return (TColor32(a) << 24) | (TColor32(r) << 16) | (TColor32(g) << 8) | TColor32(b);
}
constexpr std::uint8_t AlphaOf(TColor32 c) { return std::uint8_t(c >> 24); }
constexpr std::uint8_t RedOf(TColor32 c) { return std::uint8_t(c >> 16); }
constexpr std::uint8_t GreenOf(TColor32 c) { return std::uint8_t(c >> 8); }
constexpr std::uint8_t BlueOf(TColor32 c) { return std::uint8_t(c); }

class TBitmap32 {
 public:
  TBitmap32() = default;
  // A picture of the given size filled with `fill`; a size outside the caps gives an
  // empty picture (check Empty()).
  TBitmap32(int width, int height, TColor32 fill = 0);
  // A picture of the given size whose pixels are left unset, for a caller that
  // writes every one; empty when the size is beyond the caps.
  static TBitmap32 ForOverwrite(int width, int height);

  // Resizes to width x height with every pixel `fill`; false (and the picture
  // unchanged) when the size is negative or beyond the caps.
  bool SetSize(int width, int height, TColor32 fill = 0);
  void Clear(TColor32 fill);
  void Reset() { *this = TBitmap32(); }
  // The same picture, its pixels shared until one side writes them.
  TBitmap32 Share() const;
  // True while another picture shares these pixels.
  bool Shared() const { return data_.Shared(); }

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  std::size_t Stride() const { return std::size_t(width_) * 4; }
  std::size_t ByteSize() const { return data_.Size(); }

  // Row y (0 = top), 4 * Width() bytes. y must be inside the picture.
  std::uint8_t* Row(int y);
  const std::uint8_t* Row(int y) const;
  std::uint8_t* Bits() { return data_.Data(); }
  const std::uint8_t* Bits() const { return data_.Data(); }
  std::span<std::uint8_t> Bytes() { return {Bits(), ByteSize()}; }
  std::span<const std::uint8_t> Bytes() const { return {Bits(), ByteSize()}; }

  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  // Checked pixel access: outside the picture Pixel gives 0 and SetPixel does nothing.
  TColor32 Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor32 color);
  // Unchecked access for inner loops whose bounds were checked by the caller.
  TColor32* PixelPtr(int x, int y) { return reinterpret_cast<TColor32*>(Row(y)) + x; }
  const TColor32* PixelPtr(int x, int y) const { return reinterpret_cast<const TColor32*>(Row(y)) + x; }

  bool operator==(const TBitmap32& other) const;

 private:
  int width_ = 0;
  int height_ = 0;
  TSharedCells<std::uint8_t> data_;  // none for a picture without pixels
};
