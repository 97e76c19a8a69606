#include "platform/qt/ScreenInfo.h"

#include <QGuiApplication>
#include <QScreen>

TScreenInfo CurrentScreen() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  QRect r = screen->geometry();
  return {r.width(), r.height(), screen->depth()};
}
