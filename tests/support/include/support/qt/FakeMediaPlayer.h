#pragma once
// A media player for tests: records what was asked of it and plays nothing; a
// test ends the "playing" with Finish(), or fails it late with Fail() as a file
// that opened but cannot be decoded does.
#include <string>
#include <vector>

#include "platform/qt/MediaPlayer.h"

class TFakeMediaPlayer : public IMediaPlayer {
 public:
  std::vector<std::string> calls;    // "open:<file>", "play", "pause", "stop", "close"
  bool openSucceeds = true;
  TMediaMode mode = TMediaMode::NotReady;
  QWidget* display = nullptr;
  QRect displayRect;

  bool Open(const std::filesystem::path& file) override {
    calls.push_back("open:" + file.string());
    mode = openSucceeds ? TMediaMode::Open : TMediaMode::NotReady;
    failed = false;
    return openSucceeds;
  }
  void Close() override {
    calls.push_back("close");
    mode = TMediaMode::NotReady;
  }
  void Play() override {
    calls.push_back("play");
    if (mode != TMediaMode::NotReady) mode = TMediaMode::Playing;
  }
  void Pause() override {
    calls.push_back("pause");
    if (mode == TMediaMode::Playing) mode = TMediaMode::Paused;
  }
  void Stop() override {
    calls.push_back("stop");
    if (mode != TMediaMode::NotReady) mode = TMediaMode::Stopped;
  }
  TMediaMode Mode() const override { return mode; }
  int Error() const override { return openSucceeds && !failed ? 0 : 1; }
  std::int64_t Position() const override { return position; }
  std::int64_t Length() const override { return length; }
  void Seek(std::int64_t ms) override {
    calls.push_back("seek:" + std::to_string(ms));
    position = ms;
  }
  std::int64_t FrameDuration() const override { return frame; }
  std::int64_t position = 0, length = 0, frame = 40;
  void SetDisplay(QWidget* d, const QRect& rect) override {
    display = d;
    displayRect = rect;
  }
  void SetOnFinished(std::function<void()> handler) override { onFinished = std::move(handler); }
  // The clip reached its end.
  void Finish() {
    mode = TMediaMode::Stopped;
    if (onFinished) onFinished();
  }
  void SetOnError(std::function<void()> handler) override { onError = std::move(handler); }
  // The decoder gave up on the opened file.
  void Fail() {
    failed = true;
    mode = TMediaMode::NotReady;
    if (onError) onError();
  }
  std::function<void()> onFinished, onError;
  bool failed = false;
};
