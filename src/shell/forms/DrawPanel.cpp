#include "shell/forms/DrawPanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "picture/forms/BitmapImage.h"

TDrawPanel::TDrawPanel(QWidget* parent) : QFrame(parent) { setAttribute(Qt::WA_OpaquePaintEvent, false); }

void TDrawPanel::SetPicture(TBitmap32 picture) {
  picture_ = std::move(picture);
  update();
}

void TDrawPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (OnErase) OnErase(painter);
  Paint(painter);
}

void TDrawPanel::Paint(QPainter& painter) {
  if (OnPaint)
    OnPaint(painter);
  else if (!picture_.Empty())
    PaintTiled(painter);
  else
    PaintPlain(painter);
}

void TDrawPanel::PaintTiled(QPainter& painter) {
  QImage tile = ImageView(picture_);
  const int columns = TileCount(width(), tile.width()), rows = TileCount(height(), tile.height());
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column)
      painter.drawImage(column * tile.width(), row * tile.height(), tile);
  if (Caption.isEmpty()) return;
  std::vector<TChildSpan> spans;
  for (QObject* child : children())
    if (auto* w = qobject_cast<QWidget*>(child)) spans.push_back({w->x(), w->width()});
  TCaptionLimits limits = CaptionLimits(width(), spans);
  QFontMetrics metrics(font());
  int textWidth = metrics.horizontalAdvance(Caption);
  int x = CaptionX(limits, textWidth, Alignment);
  int y = height() / 2 - metrics.height() / 2;
  painter.setFont(font());
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(QRect(x, y, textWidth, metrics.height()), Qt::AlignLeft | Qt::AlignTop, Caption);
}

void TDrawPanel::PaintPlain(QPainter& painter) {
  painter.fillRect(rect(), palette().color(QPalette::Window));
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(rect(), Qt::AlignCenter, Caption);
}

TCaptionBar::TCaptionBar(QWidget* parent) : TDrawPanel(parent) {}

void TCaptionBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return TDrawPanel::mousePressEvent(event);
  QWidget* target = window();
  QWindow* handle = target->windowHandle();
  // Without a window manager (or where it refuses) the bar moves the window itself.
  draggingByHand_ = !(handle && handle->startSystemMove());
  grabOffset_ = event->globalPosition().toPoint() - target->frameGeometry().topLeft();
}

void TCaptionBar::mouseMoveEvent(QMouseEvent* event) {
  if (draggingByHand_ && (event->buttons() & Qt::LeftButton))
    window()->move(event->globalPosition().toPoint() - grabOffset_);
  TDrawPanel::mouseMoveEvent(event);
}

void TCaptionBar::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) draggingByHand_ = false;
  TDrawPanel::mouseReleaseEvent(event);
}

void TCaptionBar::mouseDoubleClickEvent(QMouseEvent* event) {
  QWidget* target = window();
  if (event->button() == Qt::LeftButton && (target->windowFlags() & Qt::WindowMaximizeButtonHint)) {
    if (target->isMaximized())
      target->showNormal();
    else
      target->showMaximized();
  }
  TDrawPanel::mouseDoubleClickEvent(event);
}

TCaptionBar* NewCaptionBar(QWidget& form, int width, int height) {
  auto* bar = new TCaptionBar(&form);
  bar->setObjectName("CaptionBar");
  bar->setGeometry(0, 0, width, height);
  return bar;
}
