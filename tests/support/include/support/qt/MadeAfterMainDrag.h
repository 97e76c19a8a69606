#pragma once
// A standing window made for the first time after the main window was dragged:
// a plain main window made by the start-up as the program's is, dragged by
// (150, 90), then the window asked for. The registry is left empty.
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "shell/forms/StandingForms.h"

// How far the centre of the window of that name (registered by `registerWindow`)
// lies from the screen's; nullopt when it was not made.
inline std::optional<QPoint> CentreOffAfterMainDrag(const std::function<void()>& registerWindow,
                                                    std::string_view name) {
  ClearStandingForms();
  std::unique_ptr<QWidget> main;
  RegisterStandingForm("FormMain", [&]() -> QWidget* {
    main = std::make_unique<QWidget>();
    main->setObjectName("FormMain");
    main->setGeometry(100, 80, 300, 200);
    return main.get();
  });
  registerWindow();
  std::optional<QPoint> off;
  if (CreateStandingForms()) {
    main->move(main->pos() + QPoint(150, 90));  // dragged by its caption
    std::unique_ptr<QWidget> window(StandingForm(name));
    if (window) off = window->geometry().center() - QGuiApplication::primaryScreen()->geometry().center();
  }
  ClearStandingForms();
  return off;
}
