#pragma once
// Mouse events sent straight to a widget, as a window system would deliver them.
#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWidget>

// A press holds `button`; moves and releases hold none.
inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::NoButton) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
  QMouseEvent event(type, QPointF(p), QPointF(widget->mapToGlobal(p)), button, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

inline void ClickAt(QWidget* widget, QPoint p) {
  SendMouse(widget, QEvent::MouseButtonPress, p, Qt::LeftButton);
  SendMouse(widget, QEvent::MouseButtonRelease, p, Qt::LeftButton);
}

inline void SendEnter(QWidget* widget, QPoint p) {
  QEnterEvent event{QPointF(p), QPointF(p), QPointF(widget->mapToGlobal(p))};
  QApplication::sendEvent(widget, &event);
}

inline void SendLeave(QWidget* widget) {
  QEvent event(QEvent::Leave);
  QApplication::sendEvent(widget, &event);
}
