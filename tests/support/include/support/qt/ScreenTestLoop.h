#pragma once
// What the screen test programs share: turning the event loop while they wait
// for the screen, and a watchdog for a loop that has stopped turning.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include <unistd.h>

// Turns the event loop for `ms` milliseconds (at least once).
inline void Pump(int ms) {
  QElapsedTimer timer;
  timer.start();
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(5);
  } while (timer.elapsed() < ms);
}

// Pumps until `done` holds or `ms` pass; whether it holds.
inline bool PumpUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > ms) return false;
    Pump(20);
  }
  return true;
}

namespace screen_test_detail {
struct TStage {
  std::mutex Mutex;
  std::string Text;
};
inline TStage& Stage() {
  static TStage stage;
  return stage;
}
}  // namespace screen_test_detail

// What the run is doing, named by the watchdog if it fires.
inline void SetWatchdogStage(const std::string& text) {
  auto& stage = screen_test_detail::Stage();
  std::lock_guard lock(stage.Mutex);
  stage.Text = text;
}

// A window waiting for a person (a modal question) stops the run, which would
// then end only by the test's time-out, saying nothing. After `seconds` the
// watchdog says on stderr that the run is stuck, at which stage, and where each
// thread waits (when gdb is there), and ends the process with `status`.
inline void StartWatchdog(int seconds, int status = 1) {
  std::thread([seconds, status] {
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    {
      auto& stage = screen_test_detail::Stage();
      std::lock_guard lock(stage.Mutex);
      std::fprintf(stderr, "FAIL stuck for %d s%s%s\n", seconds, stage.Text.empty() ? "" : " while ",
                   stage.Text.c_str());
      std::fflush(stderr);
    }
    const std::string stacks = "timeout 30 gdb -batch -nx -p " + std::to_string(getpid()) +
                               " -ex 'thread apply all bt 30' 2>/dev/null | grep -E '^(Thread|#)' >&2";
    if (std::system("command -v gdb >/dev/null") == 0) std::system(stacks.c_str());
    std::_Exit(status);
  }).detach();
}
