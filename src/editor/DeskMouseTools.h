#pragma once
// The desk's mouse tools. TDeskMouseTools turns the desk window's press, move and
// release into gestures by the main window's desk mode: panning (Alt-drag, or the
// middle button), resizing by eight handles, moving, rotating, warping, the colour
// brush, the eraser, the colour pick, Ctrl-click cycling through overlapping
// layers, the layer popup and the hover cursors. Each gesture is a small class on
// the TDeskGesture hooks (begin, draw, end, cancel); a gesture edits the layer it
// began on and records one history item (the press sets UndoPending, the first
// only-if-pending push takes it).
#include <cstdint>
#include <memory>
#include <string_view>

#include "editor/DeskGesture.h"
#include "editor/DeskMode.h"
#include "editor/DeskTool.h"
#include "platform/Geometry.h"

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
class TBitmap32;
bool PickDeskColor(const TBitmap32& desk, TPoint window, TPickedColor& color);

// Finishes the history item of a pixel stroke (kinds 4, 5 and 6): when the
// layer's last item is of `kind`, its rectangle (canvas pixels the stroke may have
// touched) is cut to the layer and made relative to it; an empty result removes
// the item. Brush and eraser items keep only that part of their saved picture;
// a warp item saves that part of BasePicture and BasePicture takes that part of
// Picture, so the next stroke warps the result.
void CompleteUndoRect(TLayer& layer, TLayerHistoryKind kind);

class TDeskMouseTools : public TDeskTool {
 public:
  TDeskMouseTools(IDeskToolHost& desk, IDeskToolOwner& owner);
  ~TDeskMouseTools() override;

  void MouseDown(const TDeskMouse& mouse) override;
  void MouseMove(const TDeskMouse& mouse) override;
  void MouseUp(const TDeskMouse& mouse) override;
  // Abandons a drag under way (the mode changed, the window lost the mouse).
  void CancelGesture();

  TDeskDragMode DragMode() const;
  TPoint DragStartPoint() const { return start_; }
  TPoint DragLastPoint() const { return last_; }

 private:
  void PressLayerTools(const TDeskMouse& mouse, TPoint point);
  void PressStroke(TDeskMode mode, const TDeskMouse& mouse);
  void Hover(const TDeskMouse& mouse, TPoint point, TDeskMode mode);
  void ClickLayer(const TDeskMouse& mouse, TPoint point);
  void ReleaseLayerTools(const TDeskMouse& mouse, TPoint point, bool moved, TDeskGesture* gesture);
  void PickColor(const TDeskMouse& mouse);
  bool OverSelected(TPoint point);
  void SetCursor(int cursor);

  IDeskToolOwner& owner_;
  std::unique_ptr<TDeskGesture> gesture_;
  TDeskMode pressMode_ = dmNone;  // the desk mode the gesture began in
  TPoint start_;
  TPoint last_;
};
