// The layer's undo history.
#include <algorithm>

#include "picture/BitmapRoutines.h"
#include "picture/Layer.h"

TLayerHistoryItem* TLayer::SaveUndo(TLayerHistoryKind kind, bool onlyIfPending) {
  if (onlyIfPending && !host_.TakeUndoPending()) return nullptr;
  auto item = std::make_unique<TLayerHistoryItem>();
  item->Kind = kind;
  item->Left = Left;
  item->Top = Top;
  item->Width = Width();
  item->Height = Height();
  item->Angle = angle_;
  item->RotationCenter = RotationCenter;
  item->EditMode = editMode_;
  item->RegionIndex = Mask.GetRegionIndex();
  // A painting kind keeps the picture; its tool grows the item's empty Rect over
  // the area it touches.
  if (kind == lhkColorBrush || kind == lhkEraser || kind == lhkCalibration || kind == lhkBaldHead)
    item->Bitmap = Picture;
  const bool regionValues = (kind == lhkColorValues || kind == lhkResetRegion) && item->RegionIndex > 0;
  if (regionValues)
    item->Values = Mask.RegionValues(item->RegionIndex);
  else if (kind == lhkColorValues || kind == lhkPasteSettings || kind == lhkResetLayer || kind == lhkResetRegion)
    item->Values = values_;
  if (history_.size() >= kMaxHistory) history_.erase(history_.begin());
  history_.push_back(std::move(item));
  host_.LayerShown(*this, TLayerShown::History);
  return history_.back().get();
}

void TLayer::DeleteHistoryItem(const TLayerHistoryItem* item) {
  auto it = std::find_if(history_.begin(), history_.end(), [item](const auto& p) { return p.get() == item; });
  if (it != history_.end()) history_.erase(it);
}

void TLayer::RestoreValues(const TLayerHistoryItem& item) {
  const bool region = (item.Kind == lhkColorValues || item.Kind == lhkResetRegion) && item.RegionIndex > 0;
  if (region) {
    Mask.SetRegionValues(item.RegionIndex, item.Values);
    if (Mask.GetRegionIndex() == item.RegionIndex) host_.LayerShown(*this, TLayerShown::Values);
  } else {
    values_ = item.Values;
    if (Mask.GetRegionIndex() == 0) host_.LayerShown(*this, TLayerShown::Values);
  }
}

void TLayer::RestorePosition(const TLayerHistoryItem& item) {
  Left = item.Left;
  Top = item.Top;
  RotationCenter = item.RotationCenter;
}

// Undoes one item; true when the picture or its placement needs a new rendering.
bool TLayer::UndoItem(const TLayerHistoryItem& item) {
  switch (item.Kind) {
    case lhkColorValues:
    case lhkPasteSettings:
    case lhkResetLayer:
    case lhkResetRegion:
      RestoreValues(item);
      return true;
    case lhkMove:
    case lhkResize: {
      bool render = false;
      if (item.Left != Left || item.Top != Top) {
        RestorePosition(item);
        render = !MoveView();
      }
      if (item.Kind == lhkResize && (item.Width != Width() || item.Height != Height()) && item.Width >= 0 &&
          item.Height >= 0 && Picture.SetSize(item.Width, item.Height)) {
        StretchDrawAlpha(Picture, {0, 0, item.Width, item.Height}, BasePicture, true);
        RebindMask();
        render = true;
      }
      return render;
    }
    case lhkRotate:
      // The item holds the angle from before the gesture. Only while the rotation
      // series lasts does the base it turns still exist; once another series took
      // the turned picture as its base, the turn cannot be taken back exactly.
      if (editMode_ == emRotate) SetAngle(item.Angle);
      return false;
    case lhkColorBrush:
    case lhkEraser:
    case lhkWarp:
      if (!item.Bitmap || item.Rect.IsEmpty()) return false;
      DrawBitmap(Picture, item.Rect.Left, item.Rect.Top, *item.Bitmap);
      if (item.Kind == lhkWarp) DrawBitmap(BasePicture, item.Rect.Left, item.Rect.Top, *item.Bitmap);
      return true;
    case lhkCalibration:
    case lhkBaldHead:
      if (!item.Bitmap) return false;
      DrawBitmap(Picture, 0, 0, *item.Bitmap);
      return true;
    case lhkFlip:
      FlipHorizontally();
      return true;
    default:
      return false;
  }
}

void TLayer::Undo() {
  if (history_.empty()) return;
  host_.SetChanged(ckLayerUndo);
  const TRect before = ViewRect();
  bool changed = false;
  // A reset is one step: its region items go together with the layer item pushed
  // before them (and only with that: an older, unrelated step stays).
  bool regionResets = false;
  while (!history_.empty() && history_.back()->Kind == lhkResetRegion) {
    changed = UndoItem(*history_.back()) || changed;
    history_.pop_back();
    regionResets = true;
  }
  if (!history_.empty() && (!regionResets || history_.back()->Kind == lhkResetLayer)) {
    const TLayerHistoryItem& item = *history_.back();
    changed = UndoItem(item) || changed;
    if (item.EditMode != emRotate || editMode_ == emRotate)
      SetEditMode(item.EditMode);
    else
      editMode_ = emUndone;
    history_.pop_back();
  }
  if (changed) Render(deskFrame_);
  // A move taken back shifts the rendered view without rendering it anew: both
  // places still need painting.
  if (changed || ViewRect() != before) RepaintUnion(before, false);
  if (changed) LookChanged();
  host_.LayerShown(*this, TLayerShown::History);
}
