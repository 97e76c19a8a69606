#include "online/forms/OnlineControls.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QProgressBar>
#include <QTimer>

QLabel* NewOnlineLabel(QWidget* parent, const char* name, QRect bounds) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setGeometry(bounds);
  UseWellTextColour(label);
  return label;
}

void UseWellTextColour(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, QColor(225, 230, 236));
  widget->setPalette(palette);
}

QTimer* NewProgressTimer(QWidget* parent, QProgressBar* bar) {
  auto* timer = new QTimer(parent);
  timer->setObjectName("Timer1");
  timer->setInterval(1000);
  QObject::connect(timer, &QTimer::timeout, bar, [bar] { bar->setValue((bar->value() + 1) % 100); });
  return timer;
}

QString ProgressText(const QString& name, std::int64_t received, std::int64_t total) {
  return name + ": " + QString::number(received) + " / " + QString::number(total);
}

void TPreviewLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && OnDoubleClick) OnDoubleClick();
}
