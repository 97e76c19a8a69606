#pragma once
// The desk's gestures, one class per tool (see DeskMouseTools.h).
#include "editor/DeskMouseTools.h"

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
