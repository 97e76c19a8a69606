#include "picture/SharedRowBitmap.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// A hash of the whole row: four multiply-xor lanes, eight pixels a step.
std::uint64_t RowKey(const TColor32* row, int width) {
  std::uint64_t lane[4] = {0x9E3779B97F4A7C15ull, 0xC2B2AE3D27D4EB4Full, 0x165667B19E3779F9ull, 0x27D4EB2F165667C5ull};
  const auto* bytes = reinterpret_cast<const unsigned char*>(row);
  const std::size_t size = std::size_t(width) * 4;
  std::size_t i = 0;
  for (; i + 32 <= size; i += 32)
    for (int k = 0; k < 4; ++k) {
      std::uint64_t word;
      std::memcpy(&word, bytes + i + 8 * k, 8);
      lane[k] = (lane[k] ^ word) * 0x100000001B3ull;
    }
  std::uint64_t key = lane[0] ^ (lane[1] << 1) ^ (lane[2] << 2) ^ (lane[3] << 3);
  for (; i + 4 <= size; i += 4) {
    std::uint32_t word;
    std::memcpy(&word, bytes + i, 4);
    key = (key ^ word) * 0x100000001B3ull;
  }
  return key;
}

}  // namespace

TSharedRowBitmap::TSharedRowBitmap(const TBitmap32& picture) {
  if (picture.Empty()) return;
  width_ = picture.Width();
  height_ = picture.Height();
  const std::size_t rowBytes = picture.Stride();
  auto row = [&](int y) { return reinterpret_cast<const TColor32*>(picture.Row(y)); };
  // First the row each row equals (itself when none before it does), then the pool
  // at its final size: the rows before a repeat are found through a table of
  // their keys, open addressing, a row equal in key but not in pixels probing on.
  const auto rows = std::size_t(height_);
  std::vector<int> same(rows);
  struct TSlot {
    std::uint64_t Key;
    int Row;  // -1: free
  };
  std::size_t slots = 16;
  while (slots < 2 * rows) slots *= 2;
  std::vector<TSlot> table(slots, TSlot{0, -1});
  std::size_t distinct = 0;
  for (int y = 0; y < height_; ++y) {
    if (y > 0 && std::memcmp(row(same[std::size_t(y) - 1]), row(y), rowBytes) == 0) {
      same[std::size_t(y)] = same[std::size_t(y) - 1];
      continue;
    }
    const std::uint64_t key = RowKey(row(y), width_);
    std::size_t at = std::size_t(key) & (slots - 1);
    while (table[at].Row >= 0 &&
           (table[at].Key != key || std::memcmp(row(table[at].Row), row(y), rowBytes) != 0))
      at = (at + 1) & (slots - 1);
    if (table[at].Row < 0) {
      table[at] = {key, y};
      ++distinct;
    }
    same[std::size_t(y)] = table[at].Row;
  }
  pool_.resize(distinct * std::size_t(width_));
  rowStart_.resize(rows);
  std::uint32_t next = 0;
  for (int y = 0; y < height_; ++y) {
    const int first = same[std::size_t(y)];
    if (first == y) {
      std::memcpy(pool_.data() + next, row(y), rowBytes);
      rowStart_[std::size_t(y)] = next;
      next += std::uint32_t(width_);
    } else {
      rowStart_[std::size_t(y)] = rowStart_[std::size_t(first)];
    }
  }
}

TBitmap32 TSharedRowBitmap::Unpacked() const { return CropBitmap(*this, 0, 0, width_, height_); }

TBitmap32 CropBitmap(const TSharedRowBitmap& source, int left, int top, int width, int height) {
  TBitmap32 result(width, height, 0);
  if (result.Empty()) return result;
  const std::int64_t x0 = std::max<std::int64_t>(left, 0);
  const std::int64_t x1 = std::min<std::int64_t>(std::int64_t(left) + width, source.Width());
  const std::int64_t y0 = std::max<std::int64_t>(top, 0);
  const std::int64_t y1 = std::min<std::int64_t>(std::int64_t(top) + height, source.Height());
  if (x1 <= x0) return result;
  for (std::int64_t y = y0; y < y1; ++y)
    std::memcpy(result.PixelPtr(int(x0 - left), int(y - top)), source.Row(int(y)) + x0, std::size_t(x1 - x0) * 4);
  return result;
}
