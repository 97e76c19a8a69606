#pragma once
// A layer's regions: one byte per picture pixel, bit i - 1 marking region i (1..8),
// so a pixel can lie in several regions; the nine colour values of each region;
// and the editing operations of the region tools (rectangles, lasso, colour
// selection, snapshot). Stored as ".msk" files and as mask streams in works.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "picture/Bitmap32.h"
#include "picture/ColorValues.h"
#include "platform/FileResult.h"
#include "platform/Geometry.h"

// A map of Width x Height bytes, rows top to bottom. Like a picture, a copy copies
// the cells, Share() shares them until either side writes (see SharedCells.h).
// A map of zeros holds no cells until it is first written: most layers have no
// regions, and their maps would otherwise cost a byte a pixel each.
class TMaskA {
 public:
  TMaskA() = default;
  TMaskA(int width, int height, std::uint8_t fill = 0);
  // A map whose cells are left unset, for a caller that writes every one.
  static TMaskA ForOverwrite(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // No size (no picture bound); a map of zeros without cells is not empty.
  bool Empty() const { return width_ == 0; }
  // Whether the cells exist; without them every cell reads 0.
  bool HasCells() const { return cells_.Size() != 0; }
  std::size_t CellCount() const { return std::size_t(width_) * std::size_t(height_); }
  // Writing access makes the cells (zeros) when there are none.
  std::uint8_t* Row(int y) { return Cells() + std::size_t(y) * std::size_t(width_); }
  const std::uint8_t* Row(int y) const {
    return HasCells() ? cells_.Data() + std::size_t(y) * std::size_t(width_) : ZeroRow();
  }
  std::uint8_t& At(int x, int y) { return Row(y)[x]; }
  std::uint8_t At(int x, int y) const { return Row(y)[x]; }
  std::span<std::uint8_t> Bytes() { return {Cells(), CellCount()}; }
  // The cells; empty when there are none (all zero).
  std::span<const std::uint8_t> Bytes() const { return {cells_.Data(), cells_.Size()}; }
  // Gives up the cells when every one is 0 (they read the same without them).
  void DropCellsIfClear();
  bool operator==(const TMaskA& other) const;
  // The same map, its cells shared until one side writes them.
  TMaskA Share() const;

  // Nearest-neighbour resampling to another size: target row r takes source row
  // round(r * oldH / newH), clamped to the last row; columns likewise.
  TMaskA Resampled(int width, int height) const;
  // The same map mirrored left to right.
  TMaskA FlippedHorizontally() const;

 private:
  std::uint8_t* Cells();
  // A row of zeros as wide as a picture may be: what a map without cells reads.
  static const std::uint8_t* ZeroRow();

  int width_ = 0;
  int height_ = 0;
  TSharedCells<std::uint8_t> cells_;  // none for an empty map or one of zeros
};

// Flags of TMask::Apply, run in the order listed.
enum : int {
  kMaskSnapshot = 0x1000,
  kMaskRestoreSnapshot = 0x2000,
  kMaskReplaceSelection = 0x20,  // all later flags become kMaskClearAll + kMaskSelectAdd
  kMaskClearAll = 0x40,
  kMaskInvertRect = 0x04,
  kMaskSetRect = 0x01,
  kMaskClearRect = 0x02,
  kMaskSelectRemove = 0x08,       // colour selection, SelectMode 1
  kMaskSelectAdd = 0x10,          // colour selection, SelectMode 0
  kMaskSelectKeep = 0x200,        // colour selection, SelectMode 2
  kMaskLassoAdd = 0x80,
  kMaskLassoRemove = 0x4000,
};

// Why a mask file or stream was not taken.
enum class TMaskLoad { Loaded, Missing, Undecodable, WrongSize };

// What a mask stream holds, decoded for a picture of a given size.
struct TMaskStreamContent {
  TMaskA Map, SecondMap;  // SecondMap empty when the stream has none
  std::array<TColorValues, 8> Regions{};
  int Mode = 0;
};

class TMask {
 public:
  static constexpr int kRegionCount = 8;

  TMask() = default;

  // Binds the mask to a picture (not owned; it must outlive the binding and keep
  // its address). An existing map is resampled to the picture's size (with Mode 2
  // the second map takes the primary's place first); without one a zero map is made.
  void SetBitmap(const TBitmap32* bitmap);
  // The same, but the map is `source` resampled to the picture (the layer keeps
  // the map of its base picture and derives the current one from it).
  void SetBitmap(const TBitmap32* bitmap, const TMaskA& source);
  // The same, with the maps and values of a stream decoded for this picture's size
  // (decoded for another, only its map is taken, resampled).
  void SetBitmap(const TBitmap32* bitmap, TMaskStreamContent content);
  const TBitmap32* Bitmap() const { return bitmap_; }
  int MaxX() const { return maxX_; }
  int MaxY() const { return maxY_; }

  // 0 = none, above 8 = 8, negative = 0. Fires OnChange even when unchanged.
  void SetRegionIndex(int index);
  int GetRegionIndex() const;
  std::uint8_t CurrentRegion() const { return currentRegion_; }

  // Left and top below 0 become 0; right and bottom are clamped to the map.
  void SetWorkRect(const TRect& rect);
  const TRect& WorkRect() const { return workRect_; }
  // A coordinate outside the map becomes 0.
  void SetCurrentPoint(TPoint point);
  TPoint CurrentPoint() const { return currentPoint_; }
  // Clamps the point into the map, appends it, returns its index.
  int AddLassoPoint(TPoint point);
  const std::vector<TPoint>& Lasso() const { return lasso_; }

  void Apply(int flags);
  void SetSelectionActive(bool active);
  bool SelectionActive() const { return selectionActive_; }
  const TRect& SelectionRect() const { return selectionRect_; }

  // Region 0 = the current region; outside the active map or 1..8: false.
  bool PixelInRegion(int row, int column, int region) const;
  // Refreshes and returns the ascending numbers of the regions present.
  const std::vector<int>& GetUsedRegions();
  const std::vector<int>& UsedRegions() const { return usedRegions_; }
  // The active map: SecondMap in Mode 2, else Map.
  const TMaskA& GetMap() const { return mode_ == 2 ? secondMap_ : map_; }
  const TMaskA& Map() const { return map_; }
  TMaskA& Map() {
    ++revision_;
    return map_;
  }
  // Counts changes of the maps (each operation, load, binding or write access).
  std::uint64_t Revision() const { return revision_; }
  const TMaskA& SecondMap() const { return secondMap_; }
  int Mode() const { return mode_; }
  // Mirrors both maps left to right (the picture was flipped).
  void FlipHorizontally();

  // Region values; an index outside 1..8 throws std::out_of_range with
  // "Mask index out of bounds (n)". Setters store only; they fire nothing.
  const TColorValues& RegionValues(int index) const;
  void SetRegionValues(int index, const TColorValues& values);
  int GetRegionColor(int index) const { return RegionValues(index).Color; }
  int GetRegionRed(int index) const { return RegionValues(index).Red; }
  int GetRegionGreen(int index) const { return RegionValues(index).Green; }
  int GetRegionBlue(int index) const { return RegionValues(index).Blue; }
  int GetRegionHue(int index) const { return RegionValues(index).Hue; }
  int GetRegionSaturation(int index) const { return RegionValues(index).Saturation; }
  int GetRegionBrightness(int index) const { return RegionValues(index).Brightness; }
  int GetRegionContrast(int index) const { return RegionValues(index).Contrast; }
  std::uint8_t GetRegionOpacity(int index) const { return RegionValues(index).Opacity; }
  void SetRegionColor(int index, int v) { Values(index).Color = v; }
  void SetRegionRed(int index, int v) { Values(index).Red = v; }
  void SetRegionHue(int index, int v) { Values(index).Hue = v; }
  void SetRegionSaturation(int index, int v) { Values(index).Saturation = v; }
  void SetRegionContrast(int index, int v) { Values(index).Contrast = v; }
  void SetRegionOpacity(int index, std::uint8_t v) { Values(index).Opacity = v; }

  // ".msk": the zlib stream of Map, no header. Loading needs a bound map of the
  // file's exact size; anything else leaves the mask unchanged.
  TMaskLoad LoadFromFile(const std::string& name);
  // Writes Map to FileName (nothing when storing is disabled or there is no map).
  TFileResult<> SaveToFile() const;
  // The ".msk" bytes of Map (empty when there is no map).
  std::vector<std::uint8_t> FileBytes() const;
  TMaskLoad LoadFromFileBytes(std::span<const std::uint8_t> bytes);

  // Mask stream: appends the zlib stream of Map, the second-map flag and map,
  // the region values and Mode to `out`; nothing when storing is disabled or the
  // active map is empty.
  void SaveToStream(std::vector<std::uint8_t>& out) const;
  // Reads a whole mask stream into the bound map; a stream that does not decode or
  // whose size does not fit the bound map leaves everything unchanged.
  // UsedRegions is not refreshed.
  TMaskLoad LoadFromStream(std::span<const std::uint8_t> stream);
  // A whole mask stream decoded for a picture of width x height, straight into
  // maps of its own (a thread may decode while others do); `content` is set only
  // when it gives Loaded.
  static TMaskLoad DecodeStream(std::span<const std::uint8_t> stream, int width, int height,
                                TMaskStreamContent& content);

  // Settings the region tools set directly.
  int SelectMode = 0;          // 0 add, 1 remove matching, 2 remove non-matching
  int Tolerance = 0;           // per channel
  int ToleranceDirection = 3;  // bit 1: above the reference, bit 2: below
  std::uint8_t IgnoreSelection = 0;
  std::uint8_t StoreEnabled = 1;
  std::string FileName;
  std::function<void()> OnChange;

 private:
  TColorValues& Values(int index);
  void Adopt(TMaskStreamContent content);
  void SnapshotCurrent();
  void RestoreSnapshot();
  void ForEachInRect(const TRect& rect, const std::function<void(std::uint8_t&)>& op);
  void SelectColors(int mode);
  void FillLasso(bool add);
  TRect ClampedToMap(const TRect& rect) const;

  const TBitmap32* bitmap_ = nullptr;
  int maxX_ = -1;
  int maxY_ = -1;
  TMaskA map_;
  TMaskA secondMap_;
  int mode_ = 0;
  std::uint8_t currentRegion_ = 0;
  TPoint currentPoint_;
  TRect workRect_;
  bool selectionActive_ = false;
  TRect selectionRect_;  // right and bottom inclusive
  TMaskA selectionMap_;
  std::optional<std::vector<bool>> snapshot_;
  std::vector<TPoint> lasso_;
  std::vector<int> usedRegions_;
  std::array<TColorValues, kRegionCount> regions_{};
  std::uint64_t revision_ = 0;
};
