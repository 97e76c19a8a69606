#include "shell/forms/GraphicSlider.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include "picture/BitmapRoutines.h"
#include "picture/forms/BitmapImage.h"
#include "platform/Text.h"

TGraphicSlider::TGraphicSlider(QWidget* parent) : TGraphicButton(parent) {}

void TGraphicSlider::SetValue(int value) {
  if (value == value_) return;
  value_ = ClampSliderValue(value, min_, max_);
  Changed();
  Invalidate();
}

void TGraphicSlider::SetAllValues(int min, int max, int value) {
  if (min == min_ && max == max_ && value == value_) return;
  min_ = min;
  max_ = max;
  value_ = ClampSliderValue(value, min, max);
  Changed();
  Invalidate();
}

void TGraphicSlider::SetMax(int max) {
  if (max == max_) return;
  max_ = max;
  Invalidate();
}

void TGraphicSlider::SetSlideBtnTop(int value) {
  if (value == slideBtnTop_) return;
  slideBtnTop_ = value;
  Invalidate();
}

void TGraphicSlider::SetSlideBtnLeft(int value) {
  if (value == slideBtnLeft_) return;
  slideBtnLeft_ = value;
  Invalidate();
}

void TGraphicSlider::SetReversed(bool value) {
  if (value == reversed_) return;
  reversed_ = value;
  Invalidate();
}

void TGraphicSlider::SetSlideButton(TGraphicButton* thumb) {
  if (thumb == slideButton_) return;
  slideButton_ = thumb;
  if (thumb) thumb->hide();
  Invalidate();
}

TSliderGeometry TGraphicSlider::Geometry() const {
  TSliderGeometry g;
  g.TrackWidth = Resource().Width() != 0 ? Resource().Width() : width();
  g.TrackHeight = Resource().Height() != 0 ? Resource().Height() : height();
  g.ResImageLeft = ResImageLeft;
  g.ResImageTop = ResImageTop;
  g.BeginOffset = BeginOffset;
  g.EndOffset = EndOffset;
  g.Horizontal = Horizontal();
  g.Reversed = reversed_;
  g.Min = min_;
  g.Max = max_;
  return g;
}

int TGraphicSlider::ValuePix() const { return ValuePixel(Geometry(), value_); }

bool TGraphicSlider::ThumbDrawn() const {
  return slideButton_ && slideButton_->Resource().HasSheet() && SlideBtnVisible;
}

TRect TGraphicSlider::ThumbRect() const {
  if (!ThumbDrawn()) return {};
  const int w = slideButton_->width(), h = slideButton_->height();
  if (Horizontal()) {
    const int grab = dragging_ ? grabOffset_.x() : -1;
    return Bounds(ThumbPosition(ValuePix(), w, grab, width()), slideBtnTop_, w, h);
  }
  const int grab = dragging_ ? grabOffset_.y() : -1;
  return Bounds(slideBtnLeft_, ThumbPosition(ValuePix(), h, grab, height()), w, h);
}

void TGraphicSlider::RenderBuffer() {
  TBitmap32& background = BackgroundBitmap();
  if (background.Empty()) background = SnapshotBackground();
  TBitmap32& buffer = BufferBitmap();
  buffer = background;
  const TSliderGeometry g = Geometry();
  TBitmap32 track = MakeFrame(g.TrackWidth, g.TrackHeight, false);
  DrawCaption(track);
  if (OnPaint && !buffer.Empty()) {
    QImage view = WritableImageView(buffer);
    QPainter painter(&view);
    OnPaint(this, painter);
  }
  if (Transparency() <= 100 && SheetUsable()) BlendFrameAt(buffer, track, ResImageLeft, ResImageTop);
  if (!ThumbDrawn()) return;
  const TRect place = ThumbRect();
  TGraphicResource& thumb = slideButton_->Resource();
  const int frame = slideButton_->Pressed() ? thumb.AutoPressed : thumb.AutoNormal;
  thumb.SetIndex(frame >= 0 ? frame : 0);
  slideButton_->SetBackground(CropBitmap(buffer, place.Left, place.Top, place.Width(), place.Height()));
  DrawBitmap(buffer, place.Left, place.Top, slideButton_->Buffer());
}

bool TGraphicSlider::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && dragging_) return true;  // no hints while dragging
  return TGraphicButton::event(event);
}

void TGraphicSlider::mousePressEvent(QMouseEvent* event) {
  TGraphicButton::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  const QPoint p = event->position().toPoint();
  // The thumb is grabbed where it is drawn.
  const TRect thumb = ThumbRect();
  const bool onThumb = thumb.Contains(p.x(), p.y());
  if (!onThumb && !TrackRect(Geometry()).Contains(p.x(), p.y())) return;
  dragging_ = true;
  dragStart_ = p;
  grabOffset_ = onThumb ? QPoint(p.x() - thumb.Left, p.y() - thumb.Top) : QPoint(-1, -1);
  if (slideButton_) slideButton_->SetPressed(true);
  Invalidate();
  DragTo(p);
}

void TGraphicSlider::mouseMoveEvent(QMouseEvent* event) {
  TGraphicButton::mouseMoveEvent(event);
  if (dragging_) DragTo(event->position().toPoint());
}

void TGraphicSlider::DragTo(QPoint point) {
  if (point == dragStart_ && grabOffset_ != QPoint(-1, -1)) return;
  const std::optional<int> value = ValueAtPixel(Geometry(), Horizontal() ? point.x() : point.y());
  if (value && *value != value_) SetValue(*value);
  dragStart_ = point;
}

void TGraphicSlider::mouseReleaseEvent(QMouseEvent* event) {
  QPointer<TGraphicSlider> self(this);
  TGraphicButton::mouseReleaseEvent(event);
  if (!self) return;
  dragging_ = false;
  dragStart_ = grabOffset_ = QPoint(-1, -1);
  if (slideButton_) slideButton_->SetPressed(false);
  Invalidate();
}

bool TGraphicSlider::SetInterfaceParam(const std::string& param, const std::string& value) {
  const std::optional<int> n = ParseInt(value);
  if (!n) {
    if (param != "REVERSED") return false;
    SetReversed(EqualsNoCase(value, "TRUE"));
    return true;
  }
  if (param == "BEGINOFFSET") BeginOffset = *n;
  else if (param == "ENDOFFSET") EndOffset = *n;
  else if (param == "RESIMAGELEFT") ResImageLeft = *n;
  else if (param == "RESIMAGETOP") ResImageTop = *n;
  else if (param == "SLIDEBTNLEFT") SetSlideBtnLeft(*n);
  else if (param == "SLIDEBTNTOP") SetSlideBtnTop(*n);
  else return TGraphicButton::SetInterfaceParam(param, value);
  return true;
}

void TGraphicSlider::Changed() {
  if (OnChange) OnChange();
}

void TGraphicSlider::CopyFrom(const TGraphicButton& other) {
  TGraphicButton::CopyFrom(other);
  const auto* slider = qobject_cast<const TGraphicSlider*>(&other);
  if (!slider) return;
  SetAllValues(slider->min_, slider->max_, slider->value_);
  BeginOffset = slider->BeginOffset;
  EndOffset = slider->EndOffset;
  SetSlideButton(slider->slideButton_);
  SetSlideBtnTop(slider->slideBtnTop_);
  SetSlideBtnLeft(slider->slideBtnLeft_);
  SlideBtnVisible = slider->SlideBtnVisible;
  ResImageLeft = slider->ResImageLeft;
  ResImageTop = slider->ResImageTop;
  SetReversed(slider->reversed_);
  OnChange = slider->OnChange;
}
