#include "editor/RegionEditor.h"

#include <algorithm>

#include "platform/Text.h"

TRegionGrid MakeRegionGrid(int maxX, int maxY, int columns, int rows) {
  TRegionGrid grid;
  if (columns < 1 || rows < 1 || maxX < 0 || maxY < 0) return grid;
  const int cellWidth = maxX / columns, cellHeight = maxY / rows;
  for (int c = 0; c < columns; ++c) grid.X.push_back(c * cellWidth);
  grid.X.push_back(maxX);
  for (int r = 0; r < rows; ++r) grid.Y.push_back(r * cellHeight);
  grid.Y.push_back(maxY);
  return grid;
}

TRect GridCellAt(const TRegionGrid& grid, TPoint point) {
  for (int r = 0; r < grid.Rows(); ++r) {
    const std::size_t row = std::size_t(r);
    if (point.Y < grid.Y[row] || point.Y > grid.Y[row + 1]) continue;
    for (int c = 0; c < grid.Columns(); ++c) {
      const std::size_t column = std::size_t(c);
      if (point.X < grid.X[column] || point.X > grid.X[column + 1]) continue;
      const bool lastColumn = c == grid.Columns() - 1, lastRow = r == grid.Rows() - 1;
      return {grid.X[column], grid.Y[row], grid.X[column + 1] + (lastColumn ? 1 : 0),
              grid.Y[row + 1] + (lastRow ? 1 : 0)};
    }
  }
  return {};
}

void DrawRegionGrid(TBitmap32& display, const TRegionGrid& grid, TColor32 color) {
  if (display.Empty() || grid.Columns() < 1 || grid.Rows() < 1) return;
  for (int r = 1; r < grid.Rows(); ++r) {
    const int y = grid.Y[std::size_t(r)];
    if (y < 0 || y >= display.Height()) continue;
    for (int x = 0; x < display.Width(); ++x) display.SetPixel(x, y, color);
  }
  for (int c = 1; c < grid.Columns(); ++c) {
    const int x = grid.X[std::size_t(c)];
    if (x < 0 || x >= display.Width()) continue;
    for (int y = 0; y < display.Height(); ++y) display.SetPixel(x, y, color);
  }
}

TBitmap32 RegionDisplay(const TBitmap32& picture, const TMaskA& map, std::uint8_t bit) {
  TBitmap32 display(picture.Width(), picture.Height(), 0xFFFFFFFF);
  const bool mapped = map.Width() == picture.Width() && map.Height() == picture.Height();
  for (int y = 0; y < picture.Height(); ++y) {
    const std::uint8_t* in = picture.Row(y);
    std::uint8_t* out = display.Row(y);
    for (int x = 0; x < picture.Width(); ++x, in += 4, out += 4) {
      int alpha = in[3];
      if (alpha == 0) continue;
      if (!mapped || !(map.At(x, y) & bit)) alpha /= 2;
      for (int i = 0; i < 3; ++i) out[i] = OverWhite(in[i], alpha);
    }
  }
  return display;
}

std::optional<int> ParseBoundedCount(std::string_view text, int lo, int hi) {
  const std::optional<int> value = ParseInt(Trim(text));
  if (!value || *value < lo || *value > hi) return std::nullopt;
  return value;
}

int SeedClickFlags(bool rightButton, unsigned keys) {
  const bool shift = keys & skShift, ctrl = keys & skCtrl, alt = keys & skAlt;
  if (rightButton && ctrl) return kMaskInvertRect;
  if (ctrl && shift) return kMaskSetRect;
  if (ctrl && alt) return kMaskClearRect;
  if (alt) return kMaskSelectRemove;
  if (shift) return kMaskSelectAdd;
  return kMaskReplaceSelection;
}

void TRegionEditor::Start(TMask& mask) {
  mask_ = &mask;
  seed_ = kNoSeed;
  lassoButton_ = 0;
  gridOn_ = false;
  mask.IgnoreSelection = 0;
  mask.SetSelectionActive(false);
  mask.Apply(kMaskSnapshot);
}

void TRegionEditor::Finish(bool keep) {
  if (!mask_) return;
  mask_->IgnoreSelection = 0;
  mask_->SetSelectionActive(false);
  gridOn_ = false;
  lassoButton_ = 0;
  // Restoring also frees the snapshot; keeping lets the next snapshot replace it.
  if (!keep) mask_->Apply(kMaskRestoreSnapshot);
  mask_ = nullptr;
}

TRect TRegionEditor::WholePicture() const { return {0, 0, mask_->MaxX() + 1, mask_->MaxY() + 1}; }

TRegionGrid TRegionEditor::Grid() const {
  if (!mask_) return {};
  return MakeRegionGrid(mask_->MaxX(), mask_->MaxY(), gridColumns_, gridRows_);
}

TBitmap32 TRegionEditor::Display() const {
  if (!mask_ || !mask_->Bitmap()) return {};
  TBitmap32 display = RegionDisplay(*mask_->Bitmap(), mask_->GetMap(), mask_->CurrentRegion());
  if (gridOn_) DrawRegionGrid(display, Grid(), kGridColor);
  return display;
}

void TRegionEditor::SeedClick(TPoint point, bool rightButton, unsigned keys) {
  if (!mask_ || !WholePicture().Contains(point)) return;
  seed_ = point;
  mask_->SetCurrentPoint(point);
  mask_->Tolerance = tolerance_;
  mask_->ToleranceDirection = 3;
  mask_->SetWorkRect(gridOn_ ? GridCellAt(Grid(), point) : WholePicture());
  mask_->Apply(SeedClickFlags(rightButton, keys));
}

void TRegionEditor::SetTolerance(int value) {
  value = std::clamp(value, kMinTolerance, kMaxTolerance);
  const int old = tolerance_;
  tolerance_ = value;
  if (!mask_ || !shiftHeld_ || seed_ == kNoSeed || value == old) return;
  mask_->SetCurrentPoint(seed_);
  mask_->Tolerance = value;
  mask_->Apply(value > old ? kMaskSelectAdd : kMaskSelectKeep);
}

void TRegionEditor::SetTypedTolerance(int value) { tolerance_ = std::clamp(value, kMinTolerance, kMaxTolerance); }

void TRegionEditor::SetGridOn(bool on) {
  gridOn_ = on;
  if (mask_) mask_->IgnoreSelection = on ? 1 : 0;
}

void TRegionEditor::SetGridCounts(int columns, int rows) {
  gridColumns_ = std::clamp(columns, kMinGrid, kMaxGrid);
  gridRows_ = std::clamp(rows, kMinGrid, kMaxGrid);
  SetGridOn(true);
}

void TRegionEditor::SetSelectionLimit(bool on) {
  if (mask_) mask_->SetSelectionActive(on);
}

void TRegionEditor::LassoPress(TPoint point, bool rightButton) {
  if (!mask_ || lassoButton_ != 0) return;
  lassoButton_ = rightButton ? 1 : 2;
  mask_->AddLassoPoint(point);
}

std::optional<TPoint> TRegionEditor::LassoMove(TPoint point) {
  if (!mask_ || lassoButton_ == 0 || mask_->Lasso().empty()) return std::nullopt;
  const TPoint previous = mask_->Lasso().back();
  mask_->AddLassoPoint(point);
  return previous;
}

void TRegionEditor::LassoRelease() {
  if (!mask_ || lassoButton_ == 0) return;
  mask_->Apply(lassoButton_ == 2 ? kMaskLassoAdd : kMaskLassoRemove);
  lassoButton_ = 0;
}

void TRegionEditor::Clear() {
  if (!mask_) return;
  mask_->SetWorkRect(WholePicture());
  mask_->Apply(kMaskClearAll);
  mask_->SetSelectionActive(false);
}
