#include "picture/Mask.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "picture/Compression.h"
#include "picture/PolygonFill.h"
#include "platform/ByteStream.h"
#include "platform/FileIO.h"
#include "platform/Numeric.h"

namespace {

constexpr std::size_t kRegionRecordSize = 8 * 4 + 1;
constexpr std::size_t kStreamTailSize = TMask::kRegionCount * kRegionRecordSize + 4;

// A map of width x height read from `read` a part at a time: its cells are made
// only once a part holds a region, so a map of zeros (a layer without regions)
// costs no byte a pixel. False when `read` fails.
template <typename Read>
bool InflateMap(const Read& read, int width, int height, TMaskA& map) {
  map = TMaskA(width, height);
  const std::size_t total = map.CellCount();
  std::vector<std::uint8_t> part(std::min<std::size_t>(total, std::size_t(1) << 16));
  for (std::size_t done = 0; done < total;) {
    const std::span<std::uint8_t> next(part.data(), std::min(part.size(), total - done));
    if (map.HasCells()) return read(map.Bytes().subspan(done));
    if (!read(next)) return false;
    if (std::any_of(next.begin(), next.end(), [](std::uint8_t c) { return c != 0; })) {
      TMaskA cells = TMaskA::ForOverwrite(width, height);
      std::fill_n(cells.Bytes().begin(), done, std::uint8_t(0));
      std::copy(next.begin(), next.end(), cells.Bytes().begin() + std::ptrdiff_t(done));
      map = std::move(cells);
    }
    done += next.size();
  }
  return true;
}

int SourceIndex(int target, int oldSize, int newSize) {
  std::int64_t index = RoundHalfEven(double(target) * oldSize / newSize);
  return int(std::min<std::int64_t>(index, oldSize - 1));
}

}  // namespace

TMaskA::TMaskA(int width, int height, std::uint8_t fill) {
  if (width <= 0 || height <= 0) return;
  width_ = width;
  height_ = height;
  // Zeros wider than the shared zero row are held as cells.
  if (fill != 0 || width > kMaxPictureSide) cells_ = TSharedCells<std::uint8_t>(CellCount(), fill);
}

TMaskA TMaskA::ForOverwrite(int width, int height) {
  TMaskA out;
  if (width <= 0 || height <= 0) return out;
  out.width_ = width;
  out.height_ = height;
  out.cells_ = TSharedCells<std::uint8_t>::ForOverwrite(out.CellCount());
  return out;
}

const std::uint8_t* TMaskA::ZeroRow() {
  static constexpr std::array<std::uint8_t, kMaxPictureSide> kZeros{};
  return kZeros.data();
}

std::uint8_t* TMaskA::Cells() {
  if (!HasCells() && width_ > 0) cells_ = TSharedCells<std::uint8_t>(CellCount(), 0);
  return cells_.Data();
}

void TMaskA::DropCellsIfClear() {
  if (!HasCells() || width_ > kMaxPictureSide) return;
  const std::span<const std::uint8_t> cells = std::as_const(*this).Bytes();
  if (std::all_of(cells.begin(), cells.end(), [](std::uint8_t c) { return c == 0; })) cells_ = {};
}

TMaskA TMaskA::Share() const {
  TMaskA out;
  out.width_ = width_;
  out.height_ = height_;
  out.cells_ = cells_.Share();
  return out;
}

bool TMaskA::operator==(const TMaskA& other) const {
  if (width_ != other.width_ || height_ != other.height_) return false;
  const std::span<const std::uint8_t> a = Bytes(), b = other.Bytes();
  if (a.size() == b.size()) return std::equal(a.begin(), a.end(), b.begin());
  // One side has no cells: the other must hold zeros only.
  const std::span<const std::uint8_t> held = a.empty() ? b : a;
  return std::all_of(held.begin(), held.end(), [](std::uint8_t c) { return c == 0; });
}

TMaskA TMaskA::Resampled(int width, int height) const {
  if (width == width_ && height == height_ && !Empty()) return Share();
  TMaskA out(width, height);
  if (out.Empty() || !HasCells()) return out;
  std::vector<int> columns(std::size_t(width), 0);
  for (int c = 0; c < width; ++c) columns[std::size_t(c)] = SourceIndex(c, width_, width);
  for (int r = 0; r < height; ++r) {
    const std::uint8_t* src = Row(SourceIndex(r, height_, height));
    std::uint8_t* dst = out.Row(r);
    for (int c = 0; c < width; ++c) dst[c] = src[columns[std::size_t(c)]];
  }
  return out;
}

TMaskA TMaskA::FlippedHorizontally() const {
  TMaskA out = *this;
  if (!HasCells()) return out;
  for (int y = 0; y < height_; ++y) std::reverse(out.Row(y), out.Row(y) + width_);
  return out;
}

void TMask::SetBitmap(const TBitmap32* bitmap) {
  if (mode_ == 2 && !secondMap_.Empty()) map_ = std::move(secondMap_);
  TMaskA source = std::move(map_);
  SetBitmap(bitmap, source);
}

void TMask::SetBitmap(const TBitmap32* bitmap, const TMaskA& source) {
  ++revision_;
  bitmap_ = bitmap;
  int width = bitmap ? bitmap->Width() : 0;
  int height = bitmap ? bitmap->Height() : 0;
  maxX_ = width - 1;
  maxY_ = height - 1;
  lasso_.clear();
  if (!source.Empty()) {
    map_ = source.Resampled(width, height);
    // A second map only ever stands beside a primary of the same size.
    if (!secondMap_.Empty()) secondMap_ = secondMap_.Resampled(width, height);
  } else {
    map_ = TMaskA(width, height);
    secondMap_ = TMaskA();
  }
  if (map_.Empty()) secondMap_ = TMaskA();
  // The snapshot and the selection block are cell-for-cell copies of the old map.
  snapshot_.reset();
  selectionActive_ = false;
  selectionMap_ = TMaskA();
  mode_ = 0;
}

void TMask::SetRegionIndex(int index) {
  index = std::clamp(index, 0, kRegionCount);
  currentRegion_ = index == 0 ? 0 : std::uint8_t(1u << (index - 1));
  if (OnChange) OnChange();
}

int TMask::GetRegionIndex() const {
  for (int i = 0; i < kRegionCount; ++i)
    if (currentRegion_ & (1u << i)) return i + 1;
  return 0;
}

TRect TMask::ClampedToMap(const TRect& rect) const {
  return {std::clamp(rect.Left, 0, maxX_ + 1), std::clamp(rect.Top, 0, maxY_ + 1),
          std::clamp(rect.Right, 0, maxX_ + 1), std::clamp(rect.Bottom, 0, maxY_ + 1)};
}

void TMask::SetWorkRect(const TRect& rect) { workRect_ = ClampedToMap(rect); }

void TMask::SetCurrentPoint(TPoint point) {
  currentPoint_.X = point.X >= 0 && point.X <= maxX_ ? point.X : 0;
  currentPoint_.Y = point.Y >= 0 && point.Y <= maxY_ ? point.Y : 0;
}

int TMask::AddLassoPoint(TPoint point) {
  lasso_.push_back({std::clamp(point.X, 0, std::max(maxX_, 0)), std::clamp(point.Y, 0, std::max(maxY_, 0))});
  return int(lasso_.size()) - 1;
}

void TMask::Apply(int flags) {
  ++revision_;
  if (flags & kMaskSnapshot) SnapshotCurrent();
  if (flags & kMaskRestoreSnapshot) RestoreSnapshot();
  if (flags & kMaskReplaceSelection) flags = kMaskClearAll | kMaskSelectAdd;
  const std::uint8_t bit = currentRegion_;
  // Clearing leaves a map without cells as it is.
  if ((flags & kMaskClearAll) && map_.HasCells())
    for (std::uint8_t& cell : map_.Bytes()) cell &= std::uint8_t(~bit);
  if (flags & kMaskInvertRect) ForEachInRect(workRect_, [bit](std::uint8_t& c) { c ^= bit; });
  if (flags & kMaskSetRect) ForEachInRect(workRect_, [bit](std::uint8_t& c) { c |= bit; });
  if ((flags & kMaskClearRect) && map_.HasCells()) ForEachInRect(workRect_, [bit](std::uint8_t& c) { c &= std::uint8_t(~bit); });
  if (flags & kMaskSelectRemove) SelectColors(1);
  if (flags & kMaskSelectAdd) SelectColors(0);
  if (flags & kMaskSelectKeep) SelectColors(2);
  if (flags & kMaskLassoAdd) FillLasso(true);
  if (flags & kMaskLassoRemove) FillLasso(false);
}

void TMask::SnapshotCurrent() {
  const TMaskA& active = GetMap();
  // Empty when the map has no cells: nothing of the region to restore.
  std::vector<bool> saved(active.Bytes().size());
  for (std::size_t i = 0; i < saved.size(); ++i) saved[i] = (active.Bytes()[i] & currentRegion_) != 0;
  snapshot_ = std::move(saved);
}

void TMask::RestoreSnapshot() {
  if (!snapshot_) return;
  TMaskA& active = mode_ == 2 ? secondMap_ : map_;
  if (snapshot_->empty()) {
    if (active.HasCells())
      for (std::uint8_t& cell : active.Bytes()) cell &= std::uint8_t(~currentRegion_);
  } else if (snapshot_->size() == active.CellCount()) {
    std::span<std::uint8_t> cells = active.Bytes();
    for (std::size_t i = 0; i < cells.size(); ++i)
      cells[i] = (*snapshot_)[i] ? (cells[i] | currentRegion_) : (cells[i] & std::uint8_t(~currentRegion_));
  }
  snapshot_.reset();
}

void TMask::ForEachInRect(const TRect& rect, const std::function<void(std::uint8_t&)>& op) {
  TRect r = ClampedToMap(rect);
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) op(map_.At(x, y));
}

void TMask::SelectColors(int mode) {
  SelectMode = mode;
  if (!bitmap_ || map_.Empty() || bitmap_->Width() != map_.Width() || bitmap_->Height() != map_.Height()) return;
  if (mode != 0 && !map_.HasCells()) return;  // nothing to remove
  const TColor32 reference = bitmap_->Pixel(currentPoint_.X, currentPoint_.Y);
  const int channels[3] = {BlueOf(reference), GreenOf(reference), RedOf(reference)};
  int low[3], high[3];
  for (int i = 0; i < 3; ++i) {
    high[i] = std::clamp(channels[i] + ((ToleranceDirection & 1) ? Tolerance : 0), 0, 255);
    low[i] = std::clamp(channels[i] - ((ToleranceDirection & 2) ? Tolerance : 0), 0, 255);
  }
  const int left = std::max(workRect_.Left, 0), top = std::max(workRect_.Top, 0);
  const int right = std::min(workRect_.Right, maxX_), bottom = std::min(workRect_.Bottom, maxY_);
  const bool limited = selectionActive_ && IgnoreSelection == 0;
  const std::uint8_t bit = currentRegion_;
  for (int y = top; y <= bottom; ++y) {
    const std::uint8_t* pixels = bitmap_->Row(y);
    std::uint8_t* cells = map_.Row(y);
    for (int x = left; x <= right; ++x) {
      if (limited) {
        int sx = x - selectionRect_.Left, sy = y - selectionRect_.Top;
        if (sx < 0 || sy < 0 || sx >= selectionMap_.Width() || sy >= selectionMap_.Height()) continue;
        if (!(selectionMap_.At(sx, sy) & bit)) continue;
      }
      const std::uint8_t* p = pixels + std::size_t(x) * 4;
      bool match = true;
      for (int i = 0; i < 3; ++i) match = match && p[i] >= low[i] && p[i] <= high[i];
      if (mode == 0 && match) cells[x] |= bit;
      else if ((mode == 1 && match) || (mode == 2 && !match)) cells[x] &= std::uint8_t(~bit);
    }
  }
}

void TMask::FillLasso(bool add) {
  const std::uint8_t bit = currentRegion_;
  if (!add && !map_.HasCells()) {
    lasso_.clear();
    return;
  }
  FillPolygonCells(lasso_, map_.Width(), map_.Height(), [&](int y, int x0, int x1) {
    std::uint8_t* row = map_.Row(y);
    for (int x = x0; x <= x1; ++x) row[x] = add ? std::uint8_t(row[x] | bit) : std::uint8_t(row[x] & ~bit);
  });
  lasso_.clear();
}

void TMask::SetSelectionActive(bool active) {
  if (active == selectionActive_) return;
  selectionActive_ = active;
  if (!active) {
    selectionMap_ = TMaskA();
    return;
  }
  const std::uint8_t bit = currentRegion_;
  const TMaskA& map = map_;  // read only: a map without cells stays so
  int firstRow = -1, lastRow = -1, firstColumn = -1, lastColumn = -1;
  for (int y = 0; y < map.Height(); ++y) {
    const std::uint8_t* row = map.Row(y);
    for (int x = 0; x < map.Width(); ++x) {
      if (!(row[x] & bit)) continue;
      if (firstRow < 0) firstRow = y;
      lastRow = y;
      if (firstColumn < 0 || x < firstColumn) firstColumn = x;
      lastColumn = std::max(lastColumn, x);
    }
  }
  selectionRect_ = {std::max(firstColumn, 0), std::max(firstRow, 0), std::max(lastColumn, 0), std::max(lastRow, 0)};
  if (map_.Empty()) {
    selectionMap_ = TMaskA();
    return;
  }
  const int width = selectionRect_.Right - selectionRect_.Left + 1;
  const int height = selectionRect_.Bottom - selectionRect_.Top + 1;
  selectionMap_ = TMaskA(width, height);
  for (int y = 0; y < height; ++y)
    std::copy_n(map.Row(selectionRect_.Top + y) + selectionRect_.Left, width, selectionMap_.Row(y));
}

bool TMask::PixelInRegion(int row, int column, int region) const {
  const TMaskA& active = GetMap();
  if (row < 0 || column < 0 || row >= active.Height() || column >= active.Width()) return false;
  if (region < 0 || region > kRegionCount) return false;
  const std::uint8_t bit = region == 0 ? currentRegion_ : std::uint8_t(1u << (region - 1));
  return (active.At(column, row) & bit) != 0;
}

const std::vector<int>& TMask::GetUsedRegions() {
  // Eight cells a word: every layer of a work being opened is scanned.
  const std::span<const std::uint8_t> cells = GetMap().Bytes();
  std::uint64_t words = 0;
  std::size_t i = 0;
  for (; i + 8 <= cells.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, cells.data() + i, 8);
    words |= word;
  }
  std::uint8_t all = 0;
  for (int shift = 0; shift < 64; shift += 8) all |= std::uint8_t(words >> shift);
  for (; i < cells.size(); ++i) all |= cells[i];
  usedRegions_.clear();
  for (int i = 0; i < kRegionCount; ++i)
    if (all & (1u << i)) usedRegions_.push_back(i + 1);
  // Regions all cleared (or undone) give their cells back.
  if (all == 0) (mode_ == 2 ? secondMap_ : map_).DropCellsIfClear();
  return usedRegions_;
}

void TMask::FlipHorizontally() {
  ++revision_;
  map_ = map_.FlippedHorizontally();
  secondMap_ = secondMap_.FlippedHorizontally();
  snapshot_.reset();
}

TColorValues& TMask::Values(int index) {
  if (index < 1 || index > kRegionCount)
    throw std::out_of_range("Mask index out of bounds (" + std::to_string(index) + ")");
  return regions_[std::size_t(index - 1)];
}

const TColorValues& TMask::RegionValues(int index) const { return const_cast<TMask*>(this)->Values(index); }

void TMask::SetRegionValues(int index, const TColorValues& values) { Values(index) = values; }

std::vector<std::uint8_t> TMask::FileBytes() const {
  if (map_.Empty()) return {};
  if (!map_.HasCells()) return CompressStream(std::vector<std::uint8_t>(map_.CellCount(), 0));
  return CompressStream(map_.Bytes());
}

TMaskLoad TMask::LoadFromFileBytes(std::span<const std::uint8_t> bytes) {
  const std::size_t expected = map_.CellCount();
  auto data = DecompressStream(bytes, expected + 1);
  if (!data) return TMaskLoad::Undecodable;
  if (data->size() != expected || expected == 0) return TMaskLoad::WrongSize;
  std::copy(data->begin(), data->end(), map_.Bytes().begin());
  map_.DropCellsIfClear();
  snapshot_.reset();
  ++revision_;
  return TMaskLoad::Loaded;
}

TMaskLoad TMask::LoadFromFile(const std::string& name) {
  FileName = name;
  // A mask is at most one byte per pixel; its zlib stream cannot be much larger.
  auto bytes = ReadFileBytes(name, map_.CellCount() + (std::size_t(1) << 20));
  if (!bytes) return TMaskLoad::Missing;
  return LoadFromFileBytes(*bytes);
}

TFileResult<> TMask::SaveToFile() const {
  if (!StoreEnabled || map_.Empty() || FileName.empty()) return FileError(TFileFault::Empty, FileName);
  return WriteFileAtomic(FileName, FileBytes());
}

void TMask::SaveToStream(std::vector<std::uint8_t>& out) const {
  if (!StoreEnabled || GetMap().Empty()) return;
  ByteWriter w;
  // A map without cells is written as the zeros it reads as.
  auto cells = [&w](const TMaskA& map) {
    if (map.HasCells()) w.Bytes(map.Bytes());
    else w.Fill(map.CellCount(), 0);
  };
  cells(map_);
  const bool second = !secondMap_.Empty();
  w.U8(second ? 1 : 0);
  if (second) cells(secondMap_);
  for (const TColorValues& v : regions_) {
    for (int value : {v.Color, v.Red, v.Green, v.Blue, v.Hue, v.Saturation, v.Brightness, v.Contrast})
      w.U32LE(std::uint32_t(value));
    w.U8(v.Opacity);
  }
  w.U32LE(std::uint32_t(mode_));
  std::vector<std::uint8_t> packed = CompressStream(w.Data());
  out.insert(out.end(), packed.begin(), packed.end());
}

TMaskLoad TMask::DecodeStream(std::span<const std::uint8_t> stream, int width, int height,
                              TMaskStreamContent& content) {
  static_assert(std::tuple_size_v<decltype(content.Regions)> == kRegionCount);
  if (width <= 0 || height <= 0) return TMaskLoad::WrongSize;
  // Inflated part by part where each part goes: a stream that ends early was made
  // for a smaller map, one that breaks off or fails its checksum is damaged.
  TInflater inflater(stream);
  auto read = [&inflater](std::span<std::uint8_t> out) { return inflater.Read(out); };
  auto failure = [&inflater] { return inflater.Ended() ? TMaskLoad::WrongSize : TMaskLoad::Undecodable; };
  TMaskA map, second;
  std::uint8_t hasSecond = 0;
  if (!InflateMap(read, width, height, map) || !read({&hasSecond, 1})) return failure();
  if (hasSecond > 1) return TMaskLoad::WrongSize;
  if (hasSecond && !InflateMap(read, width, height, second)) return failure();
  std::array<std::uint8_t, kStreamTailSize> tail;
  if (!read(tail)) return failure();
  // Nothing may follow the tail, and the stream's checksum must hold.
  std::uint8_t more;
  if (read({&more, 1})) return TMaskLoad::WrongSize;
  if (!inflater.Ended()) return TMaskLoad::Undecodable;
  ByteReader r(tail);
  for (TColorValues& v : content.Regions) {
    for (int* value : {&v.Color, &v.Red, &v.Green, &v.Blue, &v.Hue, &v.Saturation, &v.Brightness, &v.Contrast})
      *value = r.I32LE();
    v.Opacity = r.U8();
  }
  // Only a second map can be the active one.
  const int mode = r.I32LE();
  content.Mode = (mode == 2 && !hasSecond) ? 0 : mode;
  content.Map = std::move(map);
  content.SecondMap = std::move(second);
  return TMaskLoad::Loaded;
}

TMaskLoad TMask::LoadFromStream(std::span<const std::uint8_t> stream) {
  TMaskStreamContent content;
  const TMaskLoad result = DecodeStream(stream, map_.Width(), map_.Height(), content);
  if (result == TMaskLoad::Loaded) Adopt(std::move(content));
  return result;
}

void TMask::Adopt(TMaskStreamContent content) {
  map_ = std::move(content.Map);
  secondMap_ = std::move(content.SecondMap);
  regions_ = content.Regions;
  mode_ = content.Mode;
  ++revision_;
  snapshot_.reset();
}

void TMask::SetBitmap(const TBitmap32* bitmap, TMaskStreamContent content) {
  SetBitmap(bitmap, content.Map);  // the same size: its cells are shared, not copied
  if (map_.Width() == content.Map.Width() && map_.Height() == content.Map.Height()) Adopt(std::move(content));
}
