#pragma once
// Video capture devices behind an interface: Qt Multimedia's camera in the
// program (platform/qt/QtCaptureDevice.h), a fake in tests. The camera window
// drives a device the way a capture window is driven by its messages; each
// message it needs is one call here:
//
//   capture window message                 ICaptureDevice
//   -------------------------------------  -------------------------------------
//   driver description                     Inputs()
//   driver connect                         Connect(index)
//   driver disconnect, window destroyed    Disconnect()
//   error callback                         SetOnError() (and SetOnLost())
//   video-stream callback                  SetOnFrame()
//   driver capabilities                    Inputs(), Formats(): a choice exists
//                                          when there is more than one
//   capture status (capturing now)         Capturing()
//   preview rate                           SetPreviewRate()
//   preview on / off                       SetPreview()
//   overlay off                            none: every frame comes through us
//   get / set video format                 Format(), SetFormat()
//   grab frame without stopping            GrabFrame()
//   copy the frame to the clipboard        none: GrabFrame hands the frame back
//   source / format / display dialogs      the window's own choice among
//                                          Inputs(), Formats(); SetPreview()
//   status callback                        none (it only answered)
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct TCaptureFormat {
  int Width = 0;
  int Height = 0;
  bool operator==(const TCaptureFormat&) const = default;
};

// One frame: Width x Height pixels, rows top to bottom, bytes B, G, R, A.
struct TCaptureFrame {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Bytes;
};

class ICaptureDevice {
 public:
  virtual ~ICaptureDevice() = default;
  // The video inputs present now, by name, in the system's order.
  virtual std::vector<std::string> Inputs() = 0;
  // Connects input `index` and starts it; false when it does not answer.
  virtual bool Connect(int index) = 0;
  virtual void Disconnect() = 0;
  virtual bool Connected() const = 0;

  // The frame sizes the connected input offers, and the one it delivers now.
  virtual std::vector<TCaptureFormat> Formats() = 0;
  virtual TCaptureFormat Format() = 0;
  // False when the input does not offer `format` (the format stays).
  virtual bool SetFormat(const TCaptureFormat& format) = 0;

  // Preview frames go to the frame handler while the preview is on, at most one
  // every `milliseconds`.
  virtual void SetPreview(bool on) = 0;
  virtual void SetPreviewRate(int milliseconds) = 0;

  // The next frame the input delivers in its current format; nullopt when none
  // came (the error or lost handler says why). Events keep running meanwhile.
  virtual std::optional<TCaptureFrame> GrabFrame() = 0;
  // A grab is under way.
  virtual bool Capturing() const = 0;

  virtual void SetOnFrame(std::function<void(const TCaptureFrame&)> handler) = 0;
  // A device error: its number (never 0) and the device's text.
  virtual void SetOnError(std::function<void(int id, const std::string& text)> handler) = 0;
  // The connected input went away; the device is disconnected by then.
  virtual void SetOnLost(std::function<void()> handler) = 0;
};
