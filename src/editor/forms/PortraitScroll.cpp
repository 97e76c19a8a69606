#include "editor/forms/PortraitScroll.h"

#include <QMouseEvent>
#include <QPainter>

#include "editor/PortraitToolDesign.h"
#include "picture/forms/BitmapImage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/GraphicSlider.h"

namespace d = portrait_tool;

namespace {

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

// The slider for one axis: hidden with the picture centred when it fits; else
// its positions run from 1 so that the whole picture can be reached.
int AxisOffset(const TGraphicSlider& slider, int pictureSize, int boxSize) {
  if (pictureSize <= boxSize) return (boxSize - pictureSize) / 2;
  return -(slider.Value() - 1);
}

void SetAxis(TGraphicSlider& slider, int pictureSize, int boxSize, bool keep) {
  const bool scrolls = pictureSize > boxSize;
  slider.setVisible(scrolls);
  if (scrolls) slider.SetAllValues(1, pictureSize - boxSize + 1, keep ? slider.Value() : 1);
}

}  // namespace

TGraphicSlider* NewSheetSlider(QWidget& form, const char* name, TImage* sheet, const QRect& bounds, int trackTop) {
  auto* slider = new TGraphicSlider(&form);
  slider->setObjectName(name);
  slider->setGeometry(bounds);
  slider->Resource().SetImage(sheet);
  slider->Resource().SetTop(trackTop);
  slider->Resource().SetWidth(bounds.width());
  slider->Resource().SetHeight(bounds.height());
  slider->Resource().SetRows(1);
  slider->Resource().SetCols(2);
  slider->Resource().AutoPressed = -1;
  slider->SetSlideButton(
      NewSheetButton(&form, QString(name) + "Thumb", sheet, d::kSheetThumbTop, {0, 0, d::kThumbSide, d::kThumbSide}));
  return slider;
}

TPortraitScroll::TPortraitScroll(QWidget& form, TImage* sheet) : QWidget(&form) {
  setObjectName("ScrollBox");
  setGeometry(ToQRect(d::kScrollBox));
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  SliderHPos = NewSheetSlider(form, "SliderHPos", sheet, ToQRect(d::kSliderHPos), d::kSheetHTrackTop);
  SliderVPos = NewSheetSlider(form, "SliderVPos", sheet, ToQRect(d::kSliderVPos), d::kSheetVTrackTop);
  for (TGraphicSlider* slider : {SliderHPos, SliderVPos}) slider->OnChange = [this] { update(); };
  SetPicture({});
}

void TPortraitScroll::SetPicture(TBitmap32 picture, bool keepScroll) {
  picture_ = std::move(picture);
  SetAxis(*SliderHPos, picture_.Width(), width(), keepScroll);
  SetAxis(*SliderVPos, picture_.Height(), height(), keepScroll);
  update();
}

TPoint TPortraitScroll::Origin() const {
  return {AxisOffset(*SliderHPos, picture_.Width(), width()), AxisOffset(*SliderVPos, picture_.Height(), height())};
}

void TPortraitScroll::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(24, 26, 32));
  const TPoint origin = Origin();
  painter.translate(origin.X, origin.Y);
  painter.drawImage(0, 0, ImageView(picture_));
  if (OnOverlay) OnOverlay(painter);
}

TPoint TPortraitScroll::ToPicture(const QMouseEvent* event) const {
  const QPoint p = event->position().toPoint();
  const TPoint origin = Origin();
  return {p.x() - origin.X, p.y() - origin.Y};
}

void TPortraitScroll::mousePressEvent(QMouseEvent* event) {
  Modifiers = event->modifiers();
  if (OnPress) OnPress(ToPicture(event), event->button());
}

void TPortraitScroll::mouseMoveEvent(QMouseEvent* event) {
  Modifiers = event->modifiers();
  if (OnMove) OnMove(ToPicture(event), event->buttons());
}

void TPortraitScroll::mouseReleaseEvent(QMouseEvent* event) {
  Modifiers = event->modifiers();
  if (OnRelease) OnRelease(ToPicture(event), event->button());
}

void TPortraitScroll::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  if (OnEnter) OnEnter();
}
