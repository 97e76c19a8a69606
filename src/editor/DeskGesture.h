#pragma once
// The base of the desk's gestures: one drag, built at the press, fed the moves,
// ended by the release or cancelled. The mouse tools (DeskMouseTools.h) run them;
// DeskGestures.h holds one class per tool.
#include <cstdint>

#include "editor/DeskTool.h"
#include "editor/DeskToolHost.h"
#include "platform/Geometry.h"

class TLayer;

// What a drag does, as the desk names it.
enum TDeskDragMode : std::uint8_t {
  ddNone = 0,
  ddPan = 1,
  ddMove = 2,
  ddResize = 3,
  ddRotate = 4,
  ddWarp = 5,
  ddBrush = 6,
  ddEraser = 7,
};

// One drag: built at the press, fed the moves, ended by the release or cancelled.
class TDeskGesture {
 public:
  TDeskGesture(IDeskToolHost& desk, IDeskToolOwner& owner, TLayer* layer) : desk_(desk), owner_(owner), layer_(layer) {}
  virtual ~TDeskGesture() = default;
  TDeskGesture(const TDeskGesture&) = delete;
  TDeskGesture& operator=(const TDeskGesture&) = delete;

  // The drag mode while the gesture runs; ddNone before a stroke's first move.
  virtual TDeskDragMode Mode() const = 0;
  // Whether a move to `point` (canvas, window while panning) from `last` is for
  // this gesture to draw.
  virtual bool Wants(const TDeskMouse& mouse, TPoint point, TPoint last) const = 0;
  // Draws the move; true when `point` became the last processed point.
  virtual bool Draw(const TDeskMouse& mouse, TPoint point, TPoint last) = 0;
  // The release after movement.
  virtual void End() {}
  // The tool stopped mid-drag (another press, a mode change, the layer left the
  // selection): what was drawn stays, and history stays consistent.
  virtual void Cancel() { End(); }
  TLayer* Target() const { return layer_; }

 protected:
  // The layer the gesture began on; nullptr once it left the desk.
  TLayer* Layer() const;

  IDeskToolHost& desk_;
  IDeskToolOwner& owner_;
  TLayer* layer_;
};
