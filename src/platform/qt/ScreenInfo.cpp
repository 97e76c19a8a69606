#include "platform/qt/ScreenInfo.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
std::optional<TScreenInfo>& Override() {
  static std::optional<TScreenInfo> screen;
  return screen;
}
}  // namespace

void SetScreenOverride(std::optional<TScreenInfo> screen) { Override() = screen; }

TScreenInfo CurrentScreen() {
  if (Override()) return *Override();
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  QRect r = screen->geometry();
  return {r.width(), r.height(), screen->depth()};
}
