// Panning, moving, rotating and resizing the selected layer.
#include <cstdlib>

#include "editor/DeskGestures.h"
#include "picture/BitmapRoutines.h"
#include "picture/Layer.h"
#include "platform/Numeric.h"

namespace {

bool IsCorner(TResizeHandle h) {
  return h == TResizeHandle::TopLeft || h == TResizeHandle::TopRight || h == TResizeHandle::BottomLeft ||
         h == TResizeHandle::BottomRight;
}

bool SizeAllowed(const TDeskGeometry& desk, int width, int height) {
  return width >= kMinLayerSide && height >= kMinLayerSide && width <= desk.DesktopTableWidth &&
         height <= desk.DesktopTableHeight;
}

}  // namespace

TLayer* TDeskGesture::Layer() const { return layer_ && desk_.IndexOfLayer(layer_) >= 0 ? layer_ : nullptr; }

// --- handles ---

TResizeHandle HandleAt(const TRect& rect, TPoint p, bool forPress) {
  if (!rect.Contains(p)) return TResizeHandle::None;
  const int t = kHandleThickness;
  const int w = rect.Width(), h = rect.Height();
  const TRect left = Bounds(rect.Left, rect.Top, t, h), right = Bounds(rect.Right - t, rect.Top, t, h);
  const TRect top = Bounds(rect.Left, rect.Top, w, t), bottom = Bounds(rect.Left, rect.Bottom - t, w, t);
  struct TCandidate {
    TRect Area;
    TResizeHandle Handle;
  };
  const TCandidate corners[] = {
      {Bounds(rect.Left, rect.Top, t, t), TResizeHandle::TopLeft},
      {Bounds(rect.Right - t, rect.Bottom - t, t, t), TResizeHandle::BottomRight},
      {Bounds(rect.Right - t, rect.Top, t, t), TResizeHandle::TopRight},
      {Bounds(rect.Left, rect.Bottom - t, t, t), TResizeHandle::BottomLeft},
  };
  for (const TCandidate& c : corners)
    if (c.Area.Contains(p)) return c.Handle;
  const TCandidate pressEdges[] = {{left, TResizeHandle::LeftEdge},
                                   {right, TResizeHandle::RightEdge},
                                   {top, TResizeHandle::TopEdge},
                                   {bottom, TResizeHandle::BottomEdge}};
  const TCandidate hoverEdges[] = {{right, TResizeHandle::RightEdge},
                                   {left, TResizeHandle::LeftEdge},
                                   {bottom, TResizeHandle::BottomEdge},
                                   {top, TResizeHandle::TopEdge}};
  for (const TCandidate& c : forPress ? pressEdges : hoverEdges)
    if (c.Area.Contains(p)) return c.Handle;
  return TResizeHandle::None;
}

int HandleCursor(TResizeHandle handle) {
  switch (handle) {
    case TResizeHandle::TopLeft:
    case TResizeHandle::BottomRight:
      return crSizeNWSE;
    case TResizeHandle::TopRight:
    case TResizeHandle::BottomLeft:
      return crSizeNESW;
    case TResizeHandle::LeftEdge:
    case TResizeHandle::RightEdge:
      return crSizeWE;
    case TResizeHandle::TopEdge:
    case TResizeHandle::BottomEdge:
      return crSizeNS;
    default:
      return crDefault;
  }
}

// --- pan ---

bool TPanGesture::Draw(const TDeskMouse&, TPoint point, TPoint last) {
  if (!(point == last)) moved_ = true;
  const TDeskGeometry& g = desk_.DeskGeometry();
  const int left = g.DeskViewLeft - RoundInt((point.X - last.X) / g.DeskScale);
  const int top = g.DeskViewTop - RoundInt((point.Y - last.Y) / g.DeskScale);
  const bool inside = left >= 0 && left <= g.DesktopTableWidth - g.DeskViewWidth && top >= 0 &&
                      top <= g.DesktopTableHeight - g.DeskViewHeight;
  if (inside && (left != g.DeskViewLeft || top != g.DeskViewTop)) owner_.ScrollDesk(left, top);
  return true;
}

// --- move and rotate ---

bool TMoveGesture::Wants(const TDeskMouse& mouse, TPoint point, TPoint last) const {
  return mouse.ButtonHeld && mouse.Button == TDeskButton::Left &&
         (std::abs(point.X - last.X) >= 2 || std::abs(point.Y - last.Y) >= 2);
}

bool TMoveGesture::Draw(const TDeskMouse&, TPoint point, TPoint last) {
  TLayer* layer = Layer();
  if (!layer) return false;
  desk_.ToolFlags().SelectionFrameShown = false;
  layer->MoveBy(point.X - last.X, point.Y - last.Y);
  return true;
}

void TMoveGesture::End() {
  if (TLayer* layer = Layer()) desk_.PaintRect(layer->ViewRect());
}

bool TRotateGesture::Draw(const TDeskMouse&, TPoint point, TPoint last) {
  TLayer* layer = Layer();
  if (!layer) return false;
  desk_.ToolFlags().SelectionFrameShown = false;
  desk_.SetChanged(ckLayerRotated);
  // The item keeps the angle from before the gesture, which its undo restores.
  layer->SaveUndo(lhkRotate, true);
  const int turn = RoundInt((point.X - last.X) / desk_.DeskGeometry().DeskScale);
  // Small steps turn at half speed, for fine control.
  layer->SetAngle(layer->Angle() + (std::abs(turn) > 16 ? turn : turn / 2));
  return true;
}

// --- resize ---

TResizeGesture::TResizeGesture(IDeskToolHost& desk, IDeskToolOwner& owner, TLayer* layer, TResizeHandle handle)
    : TMoveGesture(desk, owner, layer), handle_(handle), aspect_(double(layer->Width()) / layer->Height()) {}

bool TResizeGesture::Wants(const TDeskMouse& mouse, TPoint point, TPoint last) const {
  return TMoveGesture::Wants(mouse, point, last) && !mouse.Shift && !mouse.Ctrl && !mouse.Alt;
}

TRect TResizeGesture::Resized(const TRect& rect, TPoint point, TPoint last) const {
  const int ex = last.X - point.X, ey = last.Y - point.Y;
  int left = rect.Left, top = rect.Top, width = rect.Width(), height = rect.Height();
  if (IsCorner(handle_)) {
    const bool vertical = std::abs(ex) < std::abs(ey);
    int d = vertical ? ey : ex;
    if ((handle_ == TResizeHandle::BottomLeft && vertical) || (handle_ == TResizeHandle::TopRight && !vertical) ||
        handle_ == TResizeHandle::BottomRight)
      d = -d;
    const int dh = RoundInt(d / aspect_);
    if (!SizeAllowed(desk_.DeskGeometry(), width + d, height + dh)) return rect;
    if (handle_ == TResizeHandle::TopLeft || handle_ == TResizeHandle::BottomLeft) left -= d;
    if (handle_ == TResizeHandle::TopLeft || handle_ == TResizeHandle::TopRight) top -= dh;
    return Bounds(left, top, width + d, height + dh);
  }
  const bool horizontal = handle_ == TResizeHandle::LeftEdge || handle_ == TResizeHandle::RightEdge;
  int d = horizontal ? ex : ey;
  if (handle_ == TResizeHandle::RightEdge || handle_ == TResizeHandle::BottomEdge) d = -d;
  if (horizontal) {
    if (!SizeAllowed(desk_.DeskGeometry(), width + d, height)) return rect;
    if (handle_ == TResizeHandle::LeftEdge) left -= d;
    return Bounds(left, top, width + d, height);
  }
  if (!SizeAllowed(desk_.DeskGeometry(), width, height + d)) return rect;
  if (handle_ == TResizeHandle::TopEdge) top -= d;
  return Bounds(left, top, width, height + d);
}

bool TResizeGesture::Draw(const TDeskMouse&, TPoint point, TPoint last) {
  TLayer* layer = Layer();
  if (!layer) return false;
  const TRect before = layer->CanvasRect();
  const TRect after = Resized(before, point, last);
  if (after == before) return false;
  const TRect viewBefore = layer->ViewRect();
  desk_.SetChanged(ckLayerResized);
  layer->SaveUndo(lhkResize, true);
  layer->SetEditMode(emResize);
  if (!layer->Picture.SetSize(after.Width(), after.Height())) return false;
  layer->Left = after.Left;
  layer->Top = after.Top;
  // A quick preview while dragging; always from the base, so shrinking loses nothing.
  StretchDrawNearest(layer->Picture, Bounds(0, 0, after.Width(), after.Height()), layer->BasePicture);
  layer->RebindMask();
  layer->Render(desk_.DeskGeometry().ViewFrame());
  desk_.RefreshRect(UnionRects(viewBefore, layer->ViewRect()));
  resized_ = true;
  return true;
}

void TResizeGesture::End() {
  TLayer* layer = Layer();
  if (!layer || !resized_) return;
  StretchDrawAlpha(layer->Picture, Bounds(0, 0, layer->Width(), layer->Height()), layer->BasePicture, true);
  layer->Render(desk_.DeskGeometry().ViewFrame());
  desk_.RefreshRect(layer->ViewRect());
}
