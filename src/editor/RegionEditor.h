#pragma once
// The region editor without its window: the current region of a layer's mask
// built by colour-seed clicks, rectangles of an optional grid, and a lasso;
// the picture shown with the region bright and the rest faded; OK keeps the
// edit, Cancel restores the region's membership as it was at the start.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "picture/Bitmap32.h"
#include "picture/Mask.h"
#include "platform/Geometry.h"

// The grid over a picture whose last column and row are maxX and maxY: node
// columns X[0..Columns] and rows Y[0..Rows].
struct TRegionGrid {
  std::vector<int> X;
  std::vector<int> Y;
  int Columns() const { return int(X.size()) - 1; }
  int Rows() const { return int(Y.size()) - 1; }
};
TRegionGrid MakeRegionGrid(int maxX, int maxY, int columns, int rows);
// The cell under a picture point (a point on a line belongs to the cell above or
// left of it); empty outside the grid. The last column and row of cells reach
// one past maxX and maxY, so a rectangle fill covers the picture's edge.
TRect GridCellAt(const TRegionGrid& grid, TPoint point);
// Paints the inner grid lines across the whole bitmap.
void DrawRegionGrid(TBitmap32& display, const TRegionGrid& grid, TColor32 color);

// The picture laid over white: the pixels whose map cell carries `bit` at their
// alpha, the others at half of it; opaque.
TBitmap32 RegionDisplay(const TBitmap32& picture, const TMaskA& map, std::uint8_t bit);
// A colour laid over white at `alpha`: 255 + (c - 255) * alpha / 255, truncated.
inline std::uint8_t OverWhite(int c, int alpha) { return std::uint8_t(255 + (c - 255) * alpha / 255); }

// A count typed into one of the editor's edits: the number when the whole
// trimmed text is a decimal integer in lo..hi, else nothing.
std::optional<int> ParseBoundedCount(std::string_view text, int lo, int hi);

// Keys held at a seed click.
enum TSeedKeys : unsigned { skNone = 0, skShift = 1, skCtrl = 2, skAlt = 4 };
// The mask operation of a seed click: right button with Ctrl inverts the
// rectangle, Ctrl+Shift adds it, Ctrl+Alt removes it, Alt removes the matching
// colours, Shift adds them, anything else replaces the region by them.
int SeedClickFlags(bool rightButton, unsigned keys);

class TRegionEditor {
 public:
  static constexpr int kMinTolerance = 0;
  static constexpr int kMaxTolerance = 200;
  static constexpr int kMinGrid = 2;
  static constexpr int kMaxGrid = 15;
  static constexpr TColor32 kGridColor = 0xFFFF00FF;  // magenta
  static constexpr TPoint kNoSeed{-1000, -1000};

  // Binds the editor to a mask bound to its picture, with a current region, and
  // snapshots that region. The mask must outlive the edit.
  void Start(TMask& mask);
  // OK keeps the region, anything else restores it; the mask's grid and
  // selection settings are dropped either way. Nothing without a started edit.
  void Finish(bool keep);
  bool Editing() const { return mask_ != nullptr; }
  TMask* Mask() const { return mask_; }

  // What the window shows: RegionDisplay with the grid when it is on.
  TBitmap32 Display() const;

  // A press on the picture without the lasso. A point outside the picture does
  // nothing (it has no colour to match).
  void SeedClick(TPoint point, bool rightButton, unsigned keys);
  TPoint SeedPoint() const { return seed_; }

  int Tolerance() const { return tolerance_; }
  // The tolerance slider moved (clamped to its range). While Shift is held after
  // a seed click, a raised value adds the pixels now matching the seed colour and
  // a lowered one removes those no longer matching.
  void SetTolerance(int value);
  // A typed tolerance: the next seed click uses it; no region changes.
  void SetTypedTolerance(int value);
  // Key events: the last key-down with Shift held lets the tolerance slider
  // grow or shrink; any other key event ends that.
  void KeyDown(bool shift) { shiftHeld_ = shift; }
  void KeyUp() { shiftHeld_ = false; }
  // The mouse came onto the picture: the last seed no longer counts.
  void MouseEntered() { seed_ = kNoSeed; }

  bool GridOn() const { return gridOn_; }
  // The grid ignores the selection limit while it is on.
  void SetGridOn(bool on);
  int GridColumns() const { return gridColumns_; }
  int GridRows() const { return gridRows_; }
  // Counts clamped to 2..15; turns the grid on.
  void SetGridCounts(int columns, int rows);
  TRegionGrid Grid() const;

  // Colour selections stay inside the region as it is now while the limit is on.
  void SetSelectionLimit(bool on);
  bool SelectionLimit() const { return mask_ && mask_->SelectionActive(); }

  // The lasso: a press with the left button adds the enclosed pixels at the
  // release, with the right button removes them. A point is clamped into the
  // picture. LassoMove returns the previous point, to draw the line from.
  void LassoPress(TPoint point, bool rightButton);
  std::optional<TPoint> LassoMove(TPoint point);
  void LassoRelease();
  bool LassoActive() const { return lassoButton_ != 0; }

  // The current region becomes empty; the selection limit is dropped.
  void Clear();

 private:
  TRect WholePicture() const;

  TMask* mask_ = nullptr;
  TPoint seed_ = kNoSeed;
  int tolerance_ = 30;
  bool shiftHeld_ = false;
  bool gridOn_ = false;
  int gridColumns_ = 5;
  int gridRows_ = 5;
  int lassoButton_ = 0;  // 2 left (add), 1 right (remove)
};
