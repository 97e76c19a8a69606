#include "online/forms/OnlineControls.h"

#include <QLabel>
#include <QPalette>

QLabel* NewOnlineLabel(QWidget* parent, const char* name, QRect bounds) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setGeometry(bounds);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, QColor(225, 230, 236));
  label->setPalette(palette);
  return label;
}
