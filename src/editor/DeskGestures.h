#pragma once
// The desk's gestures, one class per tool, and the handle, stroke and colour-pick
// routines they share with the mouse tools (DeskMouseTools.h) that run them.
#include <cstdint>

#include "editor/DeskGesture.h"
#include "platform/Geometry.h"

class TBitmap32;
class TLayer;
struct TLayerHistoryItem;
enum TLayerHistoryKind : std::uint8_t;
enum TEditMode : std::uint8_t;

// The resize handles, each a square or strip 7 canvas pixels thick inside the
// layer's rectangle.
enum class TResizeHandle : std::uint8_t {
  None,
  LeftEdge,
  RightEdge,
  TopEdge,
  BottomEdge,
  TopLeft,
  TopRight,
  BottomLeft,
  BottomRight,
};
constexpr int kHandleThickness = 7;
constexpr int kMinLayerSide = 10;

// The handle under `point` of a layer occupying `rect`. A press tests the corners
// then the left, right, top and bottom edges; hovering tests the corners then the
// right, left, bottom and top edges (they differ only where edges overlap, on
// layers under 14 pixels).
TResizeHandle HandleAt(const TRect& rect, TPoint point, bool forPress);
// The sizing cursor of a handle (crDefault for None).
int HandleCursor(TResizeHandle handle);

// The mean colour (truncated) of the desk bitmap's pixels in the 3 x 3 square
// around a window point, counting only pixels inside the bitmap; false when none is.
struct TPickedColor {
  int Red = 0;
  int Green = 0;
  int Blue = 0;
};
bool PickDeskColor(const TBitmap32& desk, TPoint window, TPickedColor& color);

// Finishes the history item of a pixel stroke (kinds 4, 5 and 6): when the
// layer's last item is of `kind`, its rectangle (canvas pixels the stroke may have
// touched) is cut to the layer and made relative to it; an empty result removes
// the item. Brush and eraser items keep only that part of their saved picture;
// a warp item saves that part of BasePicture and BasePicture takes that part of
// Picture, so the next stroke warps the result.
void CompleteUndoRect(TLayer& layer, TLayerHistoryKind kind);

// Alt-drag, or a middle-button drag: scrolls the view; points are window points.
class TPanGesture : public TDeskGesture {
 public:
  TPanGesture(IDeskToolHost& desk, IDeskToolOwner& owner, bool middleButton)
      : TDeskGesture(desk, owner, nullptr), middleButton_(middleButton) {}
  TDeskDragMode Mode() const override { return ddPan; }
  bool Wants(const TDeskMouse&, TPoint, TPoint) const override { return true; }
  bool Draw(const TDeskMouse& mouse, TPoint point, TPoint last) override;
  // A middle-button press that never moved is a click (it opens the popup).
  bool IsMiddleClick() const { return middleButton_ && !moved_; }

 private:
  bool middleButton_;
  bool moved_ = false;
};

// The layer follows the mouse in steps of 2 canvas pixels or more.
class TMoveGesture : public TDeskGesture {
 public:
  using TDeskGesture::TDeskGesture;
  TDeskDragMode Mode() const override { return ddMove; }
  bool Wants(const TDeskMouse& mouse, TPoint point, TPoint last) const override;
  bool Draw(const TDeskMouse& mouse, TPoint point, TPoint last) override;
  void End() override;
};

// Shift-drag on a layer: turns it by the horizontal movement.
class TRotateGesture : public TMoveGesture {
 public:
  using TMoveGesture::TMoveGesture;
  TDeskDragMode Mode() const override { return ddRotate; }
  bool Draw(const TDeskMouse& mouse, TPoint point, TPoint last) override;
  // Ends as a move does: the turned layer is painted again with its frame.
};

// A handle drag: the layer is stretched from its base picture (nearest pixel while
// dragging, bilinear at the end); corners keep the aspect the drag began with.
class TResizeGesture : public TMoveGesture {
 public:
  TResizeGesture(IDeskToolHost& desk, IDeskToolOwner& owner, TLayer* layer, TResizeHandle handle);
  TDeskDragMode Mode() const override { return ddResize; }
  bool Wants(const TDeskMouse& mouse, TPoint point, TPoint last) const override;
  bool Draw(const TDeskMouse& mouse, TPoint point, TPoint last) override;
  void End() override;

 private:
  // The new rectangle for a move from `last` to `point`; `rect` when refused.
  TRect Resized(const TRect& rect, TPoint point, TPoint last) const;

  TResizeHandle handle_;
  double aspect_;
  bool resized_ = false;
};

// A pixel stroke of the warp, brush or eraser: only the square of the tool's
// radius around each point is processed; the history item is pushed at the first
// move and completed at the end.
class TStrokeGesture : public TDeskGesture {
 public:
  TStrokeGesture(IDeskToolHost& desk, IDeskToolOwner& owner, TLayer* layer, TDeskDragMode mode);
  TDeskDragMode Mode() const override { return started_ ? mode_ : ddNone; }
  // The left or the right button (which restores) held, at a new point.
  bool Wants(const TDeskMouse& mouse, TPoint point, TPoint last) const override;
  bool Draw(const TDeskMouse& mouse, TPoint point, TPoint last) override;
  void End() override;

 protected:
  // The canvas square of radius `radius` around `point`, clipped to the layer, the
  // canvas and (for the warp) the field; empty when it touches nothing.
  TRect Square(TPoint point, int radius) const;
  virtual int Radius() const = 0;
  virtual TLayerHistoryKind Kind() const = 0;
  virtual TEditMode EditMode() const = 0;
  virtual int Cursor() const = 0;
  // Processes the clipped square (canvas pixels) for the move from `last`.
  virtual void Paint(TLayer& layer, const TRect& square, TPoint point, TPoint last, bool restore) = 0;

  TDeskToolSettings settings_;
  int clipRight_;   // canvas, exclusive
  int clipBottom_;

 private:
  TDeskDragMode mode_;
  bool started_ = false;
  TLayerHistoryItem* item_ = nullptr;
};

class TWarpGesture : public TStrokeGesture {
 public:
  TWarpGesture(IDeskToolHost& desk, IDeskToolOwner& owner, TLayer* layer) : TStrokeGesture(desk, owner, layer, ddWarp) {}
  bool Wants(const TDeskMouse& mouse, TPoint point, TPoint last) const override;

 protected:
  int Radius() const override { return settings_.ModifierSize; }
  TLayerHistoryKind Kind() const override;
  TEditMode EditMode() const override;
  int Cursor() const override { return crModify; }
  void Paint(TLayer& layer, const TRect& square, TPoint point, TPoint last, bool restore) override;
};

class TBrushGesture : public TStrokeGesture {
 public:
  TBrushGesture(IDeskToolHost& desk, IDeskToolOwner& owner, TLayer* layer)
      : TStrokeGesture(desk, owner, layer, ddBrush) {}

 protected:
  int Radius() const override { return settings_.BrushSize; }
  TLayerHistoryKind Kind() const override;
  TEditMode EditMode() const override;
  int Cursor() const override { return crBrush; }
  void Paint(TLayer& layer, const TRect& square, TPoint point, TPoint last, bool restore) override;
};

class TEraserGesture : public TStrokeGesture {
 public:
  TEraserGesture(IDeskToolHost& desk, IDeskToolOwner& owner, TLayer* layer)
      : TStrokeGesture(desk, owner, layer, ddEraser) {}

 protected:
  int Radius() const override { return settings_.EraserSize; }
  TLayerHistoryKind Kind() const override;
  TEditMode EditMode() const override;
  int Cursor() const override { return crEraser; }
  void Paint(TLayer& layer, const TRect& square, TPoint point, TPoint last, bool restore) override;
};
