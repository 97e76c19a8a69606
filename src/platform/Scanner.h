#pragma once
// Scanners behind an interface: the SANE library on Linux, fakes in tests. A scan
// arrives as 8-bit grey or RGB samples, whatever depth and frame layout the
// device sent.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct TScannerDevice {
  std::string Name;  // what Scan takes ("test:0")
  std::string Vendor;
  std::string Model;
  std::string Type;
};

// A scanned picture: Width x Height pixels, rows top to bottom, one byte a pixel
// (grey) or three (R, G, B).
struct TScanImage {
  int Width = 0;
  int Height = 0;
  bool Color = false;
  std::vector<std::uint8_t> Samples;
};

enum class TScanStatus { Scanned, Cancelled, Failed };

struct TScanResult {
  TScanStatus Status = TScanStatus::Failed;
  TScanImage Image;
  std::string Error;  // the device's reason when Failed
};

// A device option set before scanning. A value the device does not list for a
// string option is skipped (a preference such as mode "Color"); any other option
// the device refuses fails the scan.
struct TScanOption {
  std::string Name;
  std::string Value;  // "yes"/"no" for switches, decimal for numbers
};

class IScanner {
 public:
  virtual ~IScanner() = default;
  // The devices that answer now; empty when there are none or the library fails.
  virtual std::vector<TScannerDevice> Devices() = 0;
  virtual TScanResult Scan(const std::string& device, const std::vector<TScanOption>& options) = 0;
};

// The SANE library, started (see TSaneScanner); nullptr, with the reason in
// `error`, when the scanner module is missing or the library did not start.
std::unique_ptr<IScanner> OpenSaneScanner(std::string* error = nullptr);

// What follows is the scanner module's own (module "scanner", see
// platform/Module.h): the program reaches it through OpenSaneScanner; tests link
// it in.

// One frame of samples as a device delivers it.
enum class TScanFrame { Gray, Rgb, Red, Green, Blue };
struct TScanFrameFormat {
  TScanFrame Frame = TScanFrame::Gray;
  int Depth = 8;  // 1, 8 or 16 bits a sample; 16-bit samples in the machine's byte order
  int PixelsPerLine = 0;
  int BytesPerLine = 0;
};

// Adds one frame's bytes to `image` (whole lines only; a partial last line is
// dropped). The first frame sets the size; a red, green or blue frame fills its
// channel of an RGB picture and must match the lines already there. Returns false
// for a format it cannot take (unknown depth, lines shorter than their pixels, a
// frame of another width) or when the picture would exceed `maxBytes`.
bool AddScanFrame(TScanImage& image, const TScanFrameFormat& format, std::span<const std::uint8_t> bytes,
                  std::size_t maxBytes);

// The SANE library. Only one may exist at a time (the library is global).
class TSaneScanner : public IScanner {
 public:
  TSaneScanner();
  ~TSaneScanner() override;
  TSaneScanner(const TSaneScanner&) = delete;
  TSaneScanner& operator=(const TSaneScanner&) = delete;

  // False when the library did not start (then there are no devices).
  bool Ready() const { return ready_; }
  std::vector<TScannerDevice> Devices() override;
  TScanResult Scan(const std::string& device, const std::vector<TScanOption>& options) override;

  // A scan larger than this (sample bytes) fails instead of eating the memory.
  static constexpr std::size_t kMaxScanBytes = std::size_t(1) << 30;

 private:
  bool ready_ = false;
};

class IScannerModule {
 public:
  // A started TSaneScanner, or nullptr when the library did not start.
  virtual std::unique_ptr<IScanner> Open() = 0;

 protected:
  ~IScannerModule() = default;
};

extern "C" [[gnu::weak]] IScannerModule* tressary_module_scanner();
