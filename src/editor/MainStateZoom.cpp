// Zoom and scroll of the desk: the geometry's view, the scroll sliders and the
// layers' renderings follow the scale and the view origin.
#include "editor/DeskViewGeometry.h"
#include "editor/MainState.h"
#include "picture/Layer.h"
#include "platform/Numeric.h"

namespace {
TDeskSizes CurrentSizes(const TDeskGeometry& g) {
  return {g.DesktopWindowWidth, g.DesktopWindowHeight, g.DesktopTableWidth, g.DesktopTableHeight};
}
TRect CurrentView(const TDeskGeometry& g) {
  return Bounds(g.DeskViewLeft, g.DeskViewTop, g.DeskViewWidth, g.DeskViewHeight);
}
}  // namespace

int TMainState::ScaleSliderMax() const { return MaxDeskScalePercent(CurrentSizes(geometry_)); }

void TMainState::ShowScrollRanges() {
  view_.ShowScrollSliders(HorizontalScrollRange(CurrentSizes(geometry_), CurrentView(geometry_)),
                          VerticalScrollRange(CurrentSizes(geometry_), CurrentView(geometry_)));
}

void TMainState::SetDeskScale(double scale) {
  if (scale == geometry_.DeskScale || scale <= 0) return;
  geometry_.DeskScale = scale;
  const TRect before = CurrentView(geometry_);
  const TRect view = ScaledDeskView(CurrentSizes(geometry_), before, scale);
  if (view == before) return;
  geometry_.DeskViewLeft = view.Left;
  geometry_.DeskViewTop = view.Top;
  geometry_.DeskViewWidth = view.Width();
  geometry_.DeskViewHeight = view.Height();
  SetChanged(ckDeskScale);
  ShowScrollRanges();
  const TViewFrame frame = geometry_.ViewFrame();
  const bool shown = desk_->DeskVisible();
  for (int i = 0; i < desk_->LayerCount(); ++i) {
    if (shown)
      desk_->Layer(i).Render(frame);
    else
      desk_->Layer(i).SetDeskFrame(frame);
  }
  if (shown) desk_->RecomposeDesk();
}

void TMainState::ScrollDesk(int left, int top) {
  if (left == geometry_.DeskViewLeft && top == geometry_.DeskViewTop) return;
  geometry_.DeskViewLeft = left;
  geometry_.DeskViewTop = top;
  const TViewFrame frame = geometry_.ViewFrame();
  if (!desk_->DeskVisible()) {
    for (int i = 0; i < desk_->LayerCount(); ++i) desk_->Layer(i).SetDeskFrame(frame);
  } else {
    bool allWhole = true;
    for (int i = 0; i < desk_->LayerCount(); ++i) {
      if (!desk_->Layer(i).ScrollView(frame)) allWhole = false;
    }
    if (lastChange_ != ckScroll) {
      // The first step of a scroll builds the cache the next steps reuse.
      if (allWhole)
        desk_->RebuildViewBitmap();
      else
        desk_->ClearViewBitmap();
    } else if (desk_->HasViewBitmap()) {
      desk_->PlaceViewBitmap(left, top);
    }
    if (desk_->HasViewBitmap())
      desk_->RepaintDesk();
    else
      desk_->RecomposeDesk();
  }
  lastChange_ = ckScroll;
}

void TMainState::CentreDesk() {
  const TPoint origin = CentredViewOrigin(CurrentSizes(geometry_), CurrentView(geometry_));
  ScrollDesk(origin.X, origin.Y);
  ShowScrollRanges();
}
