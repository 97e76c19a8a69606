#pragma once
// The font configuration (its files parsed, its caches read: most of what the
// first text costs) loads on a worker thread while the application connects to
// the display, which mostly waits on the X server.
#include <thread>

class TFontWarmUp {
 public:
  TFontWarmUp();
  ~TFontWarmUp();
  TFontWarmUp(const TFontWarmUp&) = delete;
  TFontWarmUp& operator=(const TFontWarmUp&) = delete;
  // Returns once the configuration is loaded: before the first text is laid out,
  // so that the windows' first text does not load it a second time meanwhile.
  void Wait();

 private:
  std::thread thread_;
};
