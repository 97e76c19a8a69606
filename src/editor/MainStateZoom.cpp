// Zoom and scroll of the desk: the view globals, the scroll sliders and the
// layers' renderings follow the scale and the view origin.
#include "editor/DeskViewGeometry.h"
#include "editor/MainState.h"
#include "picture/Layer.h"
#include "platform/Numeric.h"
#include "shell/ShellGlobals.h"

namespace {
TDeskSizes CurrentSizes() { return {DesktopWindowWidth, DesktopWindowHeight, DesktopTableWidth, DesktopTableHeight}; }
TRect CurrentView() { return Bounds(DeskViewLeft, DeskViewTop, DeskViewWidth, DeskViewHeight); }
}  // namespace

int TMainState::ScaleSliderMax() const { return MaxDeskScalePercent(CurrentSizes()); }

void TMainState::ShowScrollRanges() {
  view_.ShowScrollSliders(HorizontalScrollRange(CurrentSizes(), CurrentView()),
                          VerticalScrollRange(CurrentSizes(), CurrentView()));
}

void TMainState::SetDeskScale(double scale) {
  if (scale == DeskScale || scale <= 0) return;
  DeskScale = scale;
  const TRect before = CurrentView();
  const TRect view = ScaledDeskView(CurrentSizes(), before, scale);
  if (view == before) return;
  DeskViewLeft = view.Left;
  DeskViewTop = view.Top;
  DeskViewWidth = view.Width();
  DeskViewHeight = view.Height();
  SetChanged(ckDeskScale);
  ShowScrollRanges();
  if (!desk_->DeskVisible()) return;
  for (int i = 0; i < desk_->LayerCount(); ++i) desk_->Layer(i).Render(false);
  desk_->RecomposeDesk();
}

void TMainState::ScrollDesk(int left, int top) {
  if (left == DeskViewLeft && top == DeskViewTop) return;
  DeskViewLeft = left;
  DeskViewTop = top;
  if (desk_->DeskVisible()) {
    bool allWhole = true;
    for (int i = 0; i < desk_->LayerCount(); ++i) {
      if (!desk_->Layer(i).ScrollView({left, top}, DeskScale)) allWhole = false;
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
  const TPoint origin = CentredViewOrigin(CurrentSizes(), CurrentView());
  ScrollDesk(origin.X, origin.Y);
  ShowScrollRanges();
}
