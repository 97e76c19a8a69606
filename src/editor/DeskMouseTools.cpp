// The desk mouse: which gesture a press begins in each desk mode, which moves it
// draws, what a release finishes, and the cursors in between.
#include "editor/DeskMouseTools.h"

#include "editor/DeskGestures.h"
#include "picture/Layer.h"

namespace {

bool IsLayerMode(TDeskMode mode) { return mode == dmColoration || mode == dmAppearance || mode == dmActions; }

bool IsStrokeMode(TDeskMode mode) { return mode == dmModify || mode == dmPaint || mode == dmErase; }

}  // namespace

TDeskMouseTools::TDeskMouseTools(IDeskToolHost& desk, IDeskToolOwner& owner) : TDeskTool(desk), owner_(owner) {}

TDeskMouseTools::~TDeskMouseTools() = default;

TDeskDragMode TDeskMouseTools::DragMode() const { return gesture_ ? gesture_->Mode() : ddNone; }

void TDeskMouseTools::SetCursor(int cursor) { desk_.SetDeskCursor(cursor); }

bool TDeskMouseTools::OverSelected(TPoint point) {
  const TLayer* layer = desk_.SelectedLayer();
  return layer && layer->CanvasRect().Contains(point);
}

void TDeskMouseTools::CancelGesture() {
  if (!gesture_) return;
  std::unique_ptr<TDeskGesture> gesture = std::move(gesture_);
  gesture->Cancel();
  desk_.ToolFlags().SelectionFrameShown = true;
}

// --- press ---

void TDeskMouseTools::MouseDown(const TDeskMouse& mouse) {
  if (desk_.DeskBusy()) return;
  owner_.ShowTip("FormMontage");
  // A second button during a drag ends the first drag properly.
  CancelGesture();
  pressMode_ = owner_.DeskMode();
  start_ = desk_.DeskToCanvas(mouse.Window);
  // The middle button pans too: window managers often keep Alt-drag for themselves.
  if (mouse.Alt || mouse.Button == TDeskButton::Middle) {
    SetCursor(crHandGrabAll);
    gesture_ = std::make_unique<TPanGesture>(desk_, owner_, !mouse.Alt);
    last_ = mouse.Window;
    return;
  }
  last_ = start_;
  if (IsStrokeMode(pressMode_))
    PressStroke(pressMode_, mouse);
  else if (IsLayerMode(pressMode_) && desk_.LayerCount() > 0)
    PressLayerTools(mouse, start_);
}

void TDeskMouseTools::PressStroke(TDeskMode mode, const TDeskMouse& mouse) {
  TLayer* layer = desk_.SelectedLayer();
  if (!layer || layer->Picture.Empty()) return;
  if (mode == dmModify) {
    if (mouse.Button == TDeskButton::Right) return;
    if (desk_.WarpField().empty()) desk_.SetWarpFieldAllocated(true);
    desk_.ClearWarpField();
    gesture_ = std::make_unique<TWarpGesture>(desk_, owner_, layer);
  } else if (mode == dmPaint) {
    gesture_ = std::make_unique<TBrushGesture>(desk_, owner_, layer);
  } else {
    gesture_ = std::make_unique<TEraserGesture>(desk_, owner_, layer);
  }
  desk_.SetUndoPending(true);
}

void TDeskMouseTools::PressLayerTools(const TDeskMouse& mouse, TPoint point) {
  TLayer* selected = desk_.SelectedLayer();
  const bool plainLeft = mouse.Button == TDeskButton::Left && !mouse.Shift && !mouse.Ctrl && !mouse.Alt;
  if (selected && plainLeft && selected->Height() > 0 && selected->CanvasRect().Contains(point)) {
    const TResizeHandle handle = HandleAt(selected->CanvasRect(), point, true);
    if (handle != TResizeHandle::None) {
      SetCursor(HandleCursor(handle));
      gesture_ = std::make_unique<TResizeGesture>(desk_, owner_, selected, handle);
      desk_.SetUndoPending(true);
      return;
    }
  }
  const int hit = desk_.LayerAt(point.X, point.Y, mouse.Ctrl, false);
  const bool changed = hit != desk_.SelectedIndex();
  if (changed) desk_.SelectLayer(hit);
  desk_.ToolFlags().SelectionChangedOnPress = changed;
  if (hit < 0 || mouse.Button != TDeskButton::Left) return;
  TLayer* layer = &desk_.Layer(hit);
  if (mouse.Shift) {
    SetCursor(crRotate);
    gesture_ = std::make_unique<TRotateGesture>(desk_, owner_, layer);
  } else {
    SetCursor(crHandGrab);
    gesture_ = std::make_unique<TMoveGesture>(desk_, owner_, layer);
  }
  desk_.SetUndoPending(true);
}

// --- move ---

void TDeskMouseTools::MouseMove(const TDeskMouse& mouse) {
  if (gesture_ && desk_.DeskBusy()) return;
  if (gesture_ && gesture_->Mode() == ddPan) {
    gesture_->Draw(mouse, mouse.Window, last_);
    last_ = mouse.Window;
    return;
  }
  if (mouse.Alt) {
    SetCursor(crHandFlatAll);
    return;
  }
  TLayer* selected = desk_.SelectedLayer();
  const TDeskMode mode = owner_.DeskMode();
  // A drag outlives neither its layer's selection nor its mode.
  if (gesture_ && (gesture_->Target() != selected || mode != pressMode_)) CancelGesture();
  if (!selected) {
    SetCursor(crDefault);
    return;
  }
  const TPoint point = desk_.DeskToCanvas(mouse.Window);
  if (mode == dmPaint && mouse.Shift && mouse.ButtonHeld && mouse.Button == TDeskButton::Left) {
    SetCursor(crPipette);
    PickColor(mouse);
    last_ = point;
    return;
  }
  if (IsStrokeMode(mode) || IsLayerMode(mode)) {
    if (gesture_ && gesture_->Wants(mouse, point, last_)) {
      if (gesture_->Draw(mouse, point, last_)) last_ = point;
      return;
    }
    if (!gesture_ || gesture_->Mode() == ddNone) Hover(mouse, point, mode);
  }
}

void TDeskMouseTools::Hover(const TDeskMouse& mouse, TPoint point, TDeskMode mode) {
  const bool over = OverSelected(point);
  switch (mode) {
    case dmModify:
      SetCursor(over ? crModify : crDefault);
      return;
    case dmPaint:
      SetCursor(mouse.Shift ? crPipette : over ? crBrush : crDefault);
      return;
    case dmErase:
      SetCursor(over ? crEraser : crDefault);
      return;
    default:
      break;
  }
  if (!over) {
    SetCursor(crDefault);
    return;
  }
  if (!mouse.ButtonHeld && !mouse.Shift && !mouse.Ctrl && !mouse.Alt) {
    const TResizeHandle handle = HandleAt(desk_.SelectedLayer()->CanvasRect(), point, false);
    if (handle != TResizeHandle::None) {
      SetCursor(HandleCursor(handle));
      return;
    }
  }
  SetCursor(desk_.LayerAt(point.X, point.Y, mouse.Ctrl, false) == desk_.SelectedIndex() ? crHandFlat : crDefault);
}

void TDeskMouseTools::PickColor(const TDeskMouse& mouse) {
  TPickedColor color;
  if (PickDeskColor(desk_.DeskBitmap(), mouse.Window, color)) owner_.SetBrushColor(color.Red, color.Green, color.Blue);
}

// --- release ---

void TDeskMouseTools::MouseUp(const TDeskMouse& mouse) {
  if (desk_.DeskBusy() || desk_.ToolFlags().InMouseUp) return;
  desk_.ToolFlags().InMouseUp = true;
  desk_.ToolFlags().SelectionFrameShown = true;
  SetCursor(crDefault);
  const TPoint point = desk_.DeskToCanvas(mouse.Window);
  std::unique_ptr<TDeskGesture> gesture = std::move(gesture_);
  const bool panned = gesture && gesture->Mode() == ddPan;
  if (panned && !static_cast<TPanGesture&>(*gesture).IsMiddleClick()) {
    // Nothing more: the view already moved.
  } else {
    if (panned) gesture.reset();
    const bool moved = !(point == start_) || (!panned && !(point == last_));
    const TDeskMode mode = owner_.DeskMode();
    if (IsLayerMode(mode)) {
      ReleaseLayerTools(mouse, point, moved, gesture.get());
    } else if (IsStrokeMode(mode)) {
      if (gesture && gesture->Mode() != ddNone) {
        gesture->End();
      } else if (!moved) {
        if (mode == dmPaint && mouse.Button == TDeskButton::Left && mouse.Shift) PickColor(mouse);
        ClickLayer(mouse, point);
      }
    }
  }
  // Whatever happened, the gesture is over: a later push must not take its flag.
  desk_.SetUndoPending(false);
  desk_.ToolFlags().InMouseUp = false;
}

void TDeskMouseTools::ReleaseLayerTools(const TDeskMouse& mouse, TPoint point, bool moved, TDeskGesture* gesture) {
  if (mouse.Button == TDeskButton::Left) {
    if (!moved && gesture && gesture->Mode() == ddMove) {
      // Repeated Ctrl-clicks walk down through the layers under the point.
      if (!desk_.ToolFlags().SelectionChangedOnPress && mouse.Ctrl) desk_.SelectLayer(desk_.LayerAt(point.X, point.Y, true, true));
    } else if (moved && gesture) {
      gesture->End();
    }
  } else if (!moved) {
    desk_.OpenLayerPopup(desk_.LayerAt(point.X, point.Y, mouse.Ctrl, false), mouse.Window);
  }
}

void TDeskMouseTools::ClickLayer(const TDeskMouse& mouse, TPoint point) {
  const int hit = desk_.LayerAt(point.X, point.Y, mouse.Ctrl, mouse.Ctrl);
  if (hit != desk_.SelectedIndex()) desk_.SelectLayer(hit);
  if (mouse.Button == TDeskButton::Right && hit >= 0) {
    desk_.OpenLayerPopup(hit, mouse.Window);
  }
}
