#pragma once
// What the demos that walk the real program step by step share: the windows
// shown, a file written at once, and the timer that looks again and again.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

// The visible top-level window named `name` of type T, or null.
template <class T = QWidget>
T* ShownWindow(const char* name) {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && window->objectName() == name)
      if (auto* typed = qobject_cast<T*>(window)) return typed;
  return nullptr;
}

inline void WriteDemoFile(const std::filesystem::path& file, const std::string& text) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

// Calls `tick` every 100 ms. A timer does not fire again while its own handler
// waits in a window's loop: each look is a new timer, set before the step that
// may open a window.
inline void PumpDemoSteps(std::function<void()> tick) {
  QTimer::singleShot(100, qApp, [tick] {
    PumpDemoSteps(tick);
    tick();
  });
}
