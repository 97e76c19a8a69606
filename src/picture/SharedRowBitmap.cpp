#include "picture/SharedRowBitmap.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

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
  rowStart_.resize(std::size_t(height_));
  // Rows already held, by key; equal keys of unequal rows are rare, and past a few
  // of them a row is held again rather than compared at length.
  constexpr std::size_t kCandidates = 4;
  std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> byKey;
  for (int y = 0; y < height_; ++y) {
    const auto* row = reinterpret_cast<const TColor32*>(picture.Row(y));
    auto same = [&](std::uint32_t start) { return std::memcmp(pool_.data() + start, row, rowBytes) == 0; };
    if (y > 0 && same(rowStart_[std::size_t(y) - 1])) {
      rowStart_[std::size_t(y)] = rowStart_[std::size_t(y) - 1];
      continue;
    }
    std::vector<std::uint32_t>& candidates = byKey[RowKey(row, width_)];
    auto found = std::find_if(candidates.begin(), candidates.end(), same);
    if (found != candidates.end()) {
      rowStart_[std::size_t(y)] = *found;
      continue;
    }
    const auto start = std::uint32_t(pool_.size());
    pool_.insert(pool_.end(), row, row + width_);
    rowStart_[std::size_t(y)] = start;
    if (candidates.size() < kCandidates) candidates.push_back(start);
  }
  pool_.shrink_to_fit();
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
