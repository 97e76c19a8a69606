#include "shell/forms/ColorFace.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>

TColorFace::TColorFace(QWidget* parent, const char* name, const QRect& bounds) : QWidget(parent) {
  setObjectName(name);
  setGeometry(bounds);
}

void TColorFace::SetColor(TColor32 color) {
  color_ = color;
  repaint();
}

void TColorFace::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(QColor(20, 22, 30));
  p.setBrush(QColor(RedOf(color_), GreenOf(color_), BlueOf(color_)));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TColorFace::mouseReleaseEvent(QMouseEvent* event) {
  if (OnClick && rect().contains(event->position().toPoint())) OnClick();
}

std::optional<TColor32> ChooseColor(QWidget* parent, TColor32 color) {
  const QColor chosen = QColorDialog::getColor(QColor(RedOf(color), GreenOf(color), BlueOf(color)), parent);
  if (!chosen.isValid()) return std::nullopt;
  return Color32(chosen.red(), chosen.green(), chosen.blue());
}
