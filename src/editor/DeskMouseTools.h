#pragma once
// The desk's mouse tools. TDeskMouseTools turns the desk window's press, move and
// release into gestures by the main window's desk mode: panning (Alt-drag, or the
// middle button), resizing by eight handles, moving, rotating, warping, the colour
// brush, the eraser, the colour pick, Ctrl-click cycling through overlapping
// layers, the layer popup and the hover cursors. Each gesture is a small class on
// the TDeskGesture hooks (begin, draw, end, cancel); a gesture edits the layer it
// began on and records one history item (the press sets the desk's undo flag,
// the first only-if-pending push takes it).
#include <cstdint>
#include <memory>
#include <string_view>

#include "editor/DeskGesture.h"
#include "editor/DeskMode.h"
#include "editor/DeskTool.h"
#include "platform/Geometry.h"

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
