#pragma once
// A capture device for tests: inputs that answer or not, each with its frame
// sizes; frames are a ramp a test can check pixel by pixel, delivered when the
// test calls EmitFrame() (the preview) or GrabFrame() (the snapshot). Records
// what was asked of it.
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "picture/Bitmap32.h"
#include "platform/Capture.h"

struct TFakeCaptureInput {
  std::string Name;
  bool Answers = true;
  std::vector<TCaptureFormat> Formats;
};

// Pixel (x, y) of a frame width x height as the program reads it (0xAARRGGBB):
// red rises left to right, green top to bottom, blue tells the frame's width
// (width / 10), and alpha is 0 as some drivers leave it.
inline std::uint32_t FakeFramePixel(int x, int y, int width, int height) {
  const std::uint32_t r = width > 1 ? std::uint32_t(x * 255 / (width - 1)) : 0;
  const std::uint32_t g = height > 1 ? std::uint32_t(y * 255 / (height - 1)) : 0;
  const std::uint32_t b = std::uint32_t(width / 10) & 0xFF;
  return (r << 16) | (g << 8) | b;
}

// A whole frame as the program keeps it, made opaque.
inline TBitmap32 OpaqueFakeFrame(int width, int height) {
  TBitmap32 frame(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) frame.SetPixel(x, y, FakeFramePixel(x, y, width, height) | 0xFF000000u);
  return frame;
}

inline TCaptureFrame FakeFrame(TCaptureFormat format) {
  TCaptureFrame frame{format.Width, format.Height, {}};
  frame.Bytes.resize(std::size_t(format.Width) * format.Height * 4);
  for (int y = 0; y < format.Height; ++y)
    for (int x = 0; x < format.Width; ++x) {
      const std::uint32_t p = FakeFramePixel(x, y, format.Width, format.Height);
      std::uint8_t* out = frame.Bytes.data() + (std::size_t(y) * format.Width + x) * 4;
      out[0] = std::uint8_t(p);
      out[1] = std::uint8_t(p >> 8);
      out[2] = std::uint8_t(p >> 16);
      out[3] = std::uint8_t(p >> 24);
    }
  return frame;
}

class TFakeCaptureDevice : public ICaptureDevice {
 public:
  std::vector<TFakeCaptureInput> inputs;
  // "connect:<i>", "disconnect", "format:<w>x<h>", "preview:on|off", "rate:<ms>", "grab:<w>x<h>"
  std::vector<std::string> calls;
  int connected = -1;
  TCaptureFormat format;
  bool preview = false;
  int rate = 0;
  bool capturing = false;  // a grab under way, as the device reports it
  bool grabFails = false;
  std::function<void()> duringGrab;  // runs inside GrabFrame (a vanishing input, say)

  std::vector<std::string> Inputs() override {
    std::vector<std::string> names;
    for (const auto& input : inputs) names.push_back(input.Name);
    return names;
  }
  bool Connect(int index) override {
    calls.push_back("connect:" + std::to_string(index));
    if (index < 0 || index >= int(inputs.size()) || !inputs[index].Answers) return false;
    connected = index;
    // An input starts in its largest size.
    format = inputs[index].Formats.empty() ? TCaptureFormat{} : inputs[index].Formats.back();
    return true;
  }
  void Disconnect() override {
    if (connected >= 0) calls.push_back("disconnect");
    connected = -1;
    preview = false;
  }
  bool Connected() const override { return connected >= 0; }
  std::vector<TCaptureFormat> Formats() override {
    return connected >= 0 ? inputs[connected].Formats : std::vector<TCaptureFormat>{};
  }
  TCaptureFormat Format() override { return connected >= 0 ? format : TCaptureFormat{}; }
  bool SetFormat(const TCaptureFormat& f) override {
    calls.push_back("format:" + Size(f));
    const auto offered = Formats();
    if (std::find(offered.begin(), offered.end(), f) == offered.end()) return false;
    format = f;
    return true;
  }
  void SetPreview(bool on) override {
    calls.push_back(on ? "preview:on" : "preview:off");
    preview = on;
  }
  void SetPreviewRate(int milliseconds) override {
    calls.push_back("rate:" + std::to_string(milliseconds));
    rate = milliseconds;
  }
  std::optional<TCaptureFrame> GrabFrame() override {
    calls.push_back("grab:" + Size(format));
    if (connected < 0) return std::nullopt;
    capturing = true;
    if (duringGrab) duringGrab();
    capturing = false;
    if (connected < 0 || grabFails) return std::nullopt;
    return FakeFrame(format);
  }
  bool Capturing() const override { return capturing; }
  void SetOnFrame(std::function<void(const TCaptureFrame&)> handler) override { onFrame = std::move(handler); }
  void SetOnError(std::function<void(int, const std::string&)> handler) override { onError = std::move(handler); }
  void SetOnLost(std::function<void()> handler) override { onLost = std::move(handler); }

  // One preview frame in the current size; false when the preview is off.
  bool EmitFrame() {
    if (connected < 0 || !preview || !onFrame) return false;
    onFrame(FakeFrame(format));
    return true;
  }
  // The connected input goes away, as a pulled cable.
  void Vanish() {
    if (connected < 0) return;
    inputs.erase(inputs.begin() + connected);
    connected = -1;
    preview = false;
    if (onLost) onLost();
  }
  // The calls since the last look, and forgets them.
  std::vector<std::string> TakeCalls() { return std::exchange(calls, {}); }

  std::function<void(const TCaptureFrame&)> onFrame;
  std::function<void(int, const std::string&)> onError;
  std::function<void()> onLost;

 private:
  static std::string Size(const TCaptureFormat& f) { return std::to_string(f.Width) + "x" + std::to_string(f.Height); }
};
