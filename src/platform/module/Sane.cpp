// The module "scanner": the SANE library.
#include "platform/Scanner.h"

#include <sane/sane.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

namespace {

int ChannelsOf(TScanFrame frame) { return frame == TScanFrame::Rgb ? 3 : 1; }

// Sample number `index` of a line, scaled to 8 bits. Depth-1 grey is line art,
// where a set bit is black; a set colour bit is full intensity.
std::uint8_t SampleAt(const std::uint8_t* line, int index, int depth, bool inverted) {
  switch (depth) {
    case 1: {
      const bool set = (line[index / 8] >> (7 - index % 8)) & 1;
      return set != inverted ? 255 : 0;
    }
    case 16: {
      std::uint16_t value;
      std::memcpy(&value, line + std::size_t(index) * 2, 2);
      return std::uint8_t(value >> 8);
    }
    default: return line[index];
  }
}

}  // namespace

bool AddScanFrame(TScanImage& image, const TScanFrameFormat& format, std::span<const std::uint8_t> bytes,
                  std::size_t maxBytes) {
  const int depth = format.Depth;
  if (depth != 1 && depth != 8 && depth != 16) return false;
  if (format.PixelsPerLine <= 0 || format.BytesPerLine <= 0) return false;
  const int channels = ChannelsOf(format.Frame);
  const std::uint64_t lineBits = std::uint64_t(format.PixelsPerLine) * std::uint64_t(channels) * std::uint64_t(depth);
  if ((lineBits + 7) / 8 > std::uint64_t(format.BytesPerLine)) return false;
  const std::size_t lines = bytes.size() / std::size_t(format.BytesPerLine);
  if (lines == 0) return false;

  const bool planar = format.Frame != TScanFrame::Gray && format.Frame != TScanFrame::Rgb;
  const bool first = image.Samples.empty();
  if (first) {
    const int outChannels = format.Frame == TScanFrame::Gray ? 1 : 3;
    const std::uint64_t size = std::uint64_t(format.PixelsPerLine) * lines * std::uint64_t(outChannels);
    if (size > maxBytes || lines > std::size_t(INT32_MAX)) return false;
    image.Width = format.PixelsPerLine;
    image.Height = int(lines);
    image.Color = outChannels == 3;
    image.Samples.assign(std::size_t(size), 0);
  } else if (!planar || !image.Color || image.Width != format.PixelsPerLine || lines < std::size_t(image.Height)) {
    return false;
  }

  const int plane = format.Frame == TScanFrame::Green ? 1 : format.Frame == TScanFrame::Blue ? 2 : 0;
  const bool inverted = format.Frame == TScanFrame::Gray && depth == 1;
  for (int y = 0; y < image.Height; ++y) {
    const std::uint8_t* line = bytes.data() + std::size_t(y) * std::size_t(format.BytesPerLine);
    std::uint8_t* out = image.Samples.data() + std::size_t(y) * std::size_t(image.Width) * (image.Color ? 3 : 1);
    if (planar) {
      for (int x = 0; x < image.Width; ++x) out[x * 3 + plane] = SampleAt(line, x, depth, false);
    } else {
      const int count = image.Width * channels;
      for (int i = 0; i < count; ++i) out[i] = SampleAt(line, i, depth, inverted);
    }
  }
  return true;
}

namespace {

std::string StatusText(SANE_Status status) { return sane_strstatus(status); }

std::optional<TScanFrame> FrameOf(SANE_Frame frame) {
  switch (frame) {
    case SANE_FRAME_GRAY: return TScanFrame::Gray;
    case SANE_FRAME_RGB: return TScanFrame::Rgb;
    case SANE_FRAME_RED: return TScanFrame::Red;
    case SANE_FRAME_GREEN: return TScanFrame::Green;
    case SANE_FRAME_BLUE: return TScanFrame::Blue;
    default: return std::nullopt;
  }
}

// Closes the device (ending any scan) on every path.
class TSaneDevice {
 public:
  explicit TSaneDevice(SANE_Handle handle) : handle_(handle) {}
  ~TSaneDevice() {
    // Backends that read through a thread stop it abruptly on cancel; caught
    // starting or ending, it can take the C library's allocator lock with it and
    // hang the program. A moment lets it finish or settle in its pipe write first.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    sane_cancel(handle_);
    sane_close(handle_);
  }
  TSaneDevice(const TSaneDevice&) = delete;
  TSaneDevice& operator=(const TSaneDevice&) = delete;
  SANE_Handle Handle() const { return handle_; }

 private:
  SANE_Handle handle_;
};

bool StringListed(const SANE_Option_Descriptor& desc, const std::string& value) {
  if (desc.constraint_type != SANE_CONSTRAINT_STRING_LIST) return true;
  for (const SANE_String_Const* item = desc.constraint.string_list; *item; ++item)
    if (value == *item) return true;
  return false;
}

// An empty text on success (or when the option is skipped), else the reason.
std::string SetOption(SANE_Handle handle, const TScanOption& option) {
  SANE_Int count = 0;
  if (sane_control_option(handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD) count = 0;
  for (SANE_Int i = 1; i < count; ++i) {
    const SANE_Option_Descriptor* desc = sane_get_option_descriptor(handle, i);
    if (!desc || !desc->name || option.Name != desc->name) continue;
    if (!SANE_OPTION_IS_ACTIVE(desc->cap) || !SANE_OPTION_IS_SETTABLE(desc->cap)) return {};
    SANE_Status status = SANE_STATUS_UNSUPPORTED;
    SANE_Word word = 0;
    switch (desc->type) {
      case SANE_TYPE_BOOL:
        word = option.Value == "yes" ? SANE_TRUE : SANE_FALSE;
        status = sane_control_option(handle, i, SANE_ACTION_SET_VALUE, &word, nullptr);
        break;
      case SANE_TYPE_INT:
      case SANE_TYPE_FIXED: {
        if (desc->size != SANE_Int(sizeof(SANE_Word))) return {};
        const double value = std::strtod(option.Value.c_str(), nullptr);
        word = desc->type == SANE_TYPE_INT ? SANE_Word(value) : SANE_FIX(value);
        status = sane_control_option(handle, i, SANE_ACTION_SET_VALUE, &word, nullptr);
        break;
      }
      case SANE_TYPE_STRING: {
        if (!StringListed(*desc, option.Value)) return {};
        std::vector<char> text(std::size_t(std::max<SANE_Int>(desc->size, 1)), '\0');
        std::strncpy(text.data(), option.Value.c_str(), text.size() - 1);
        status = sane_control_option(handle, i, SANE_ACTION_SET_VALUE, text.data(), nullptr);
        break;
      }
      default: return {};
    }
    return status == SANE_STATUS_GOOD ? std::string() : option.Name + ": " + StatusText(status);
  }
  return {};
}

// Reads one frame to its end. GOOD with the bytes, or the status that stopped it.
SANE_Status ReadFrame(SANE_Handle handle, std::vector<std::uint8_t>& bytes, std::size_t maxBytes) {
  std::vector<std::uint8_t> buffer(64 * 1024);
  for (;;) {
    SANE_Int length = 0;
    const SANE_Status status = sane_read(handle, buffer.data(), SANE_Int(buffer.size()), &length);
    if (status == SANE_STATUS_EOF) return SANE_STATUS_GOOD;
    if (status != SANE_STATUS_GOOD) return status;
    if (length < 0 || bytes.size() + std::size_t(length) > maxBytes) return SANE_STATUS_NO_MEM;
    bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + length);
  }
}

TScanResult Failure(TScanStatus status, std::string error) {
  TScanResult result;
  result.Status = status;
  result.Error = std::move(error);
  return result;
}

TScanResult StatusFailure(SANE_Status status) {
  return Failure(status == SANE_STATUS_CANCELLED ? TScanStatus::Cancelled : TScanStatus::Failed, StatusText(status));
}

}  // namespace

TSaneScanner::TSaneScanner() {
  SANE_Int version = 0;
  ready_ = sane_init(&version, nullptr) == SANE_STATUS_GOOD;
}

TSaneScanner::~TSaneScanner() {
  if (ready_) sane_exit();
}

std::vector<TScannerDevice> TSaneScanner::Devices() {
  std::vector<TScannerDevice> devices;
  const SANE_Device** list = nullptr;
  if (!ready_ || sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list) return devices;
  auto text = [](const char* s) { return std::string(s ? s : ""); };
  for (const SANE_Device** device = list; *device; ++device)
    devices.push_back({text((*device)->name), text((*device)->vendor), text((*device)->model), text((*device)->type)});
  return devices;
}

TScanResult TSaneScanner::Scan(const std::string& device, const std::vector<TScanOption>& options) {
  if (!ready_) return Failure(TScanStatus::Failed, "The scanner library did not start");
  SANE_Handle handle = nullptr;
  const SANE_Status opened = sane_open(device.c_str(), &handle);
  if (opened != SANE_STATUS_GOOD) return StatusFailure(opened);
  TSaneDevice open(handle);
  for (const TScanOption& option : options) {
    std::string error = SetOption(handle, option);
    if (!error.empty()) return Failure(TScanStatus::Failed, error);
  }

  TScanResult result;
  for (;;) {
    SANE_Status status = sane_start(handle);
    if (status != SANE_STATUS_GOOD) return StatusFailure(status);
    SANE_Parameters params{};
    status = sane_get_parameters(handle, &params);
    if (status != SANE_STATUS_GOOD) return StatusFailure(status);
    const auto frame = FrameOf(params.format);
    if (!frame) return Failure(TScanStatus::Failed, "Unsupported frame format");
    std::vector<std::uint8_t> bytes;
    // 16-bit samples arrive as two bytes each.
    status = ReadFrame(handle, bytes, kMaxScanBytes * 2);
    if (status != SANE_STATUS_GOOD) return StatusFailure(status);
    const TScanFrameFormat format{*frame, params.depth, params.pixels_per_line, params.bytes_per_line};
    if (!AddScanFrame(result.Image, format, bytes, kMaxScanBytes))
      return Failure(TScanStatus::Failed, "The scanner sent a picture that cannot be read");
    if (params.last_frame) break;
  }
  result.Status = TScanStatus::Scanned;
  return result;
}

extern "C" [[gnu::visibility("default")]] IScannerModule* tressary_module_scanner() {
  class TSane final : public IScannerModule {
   public:
    std::unique_ptr<IScanner> Open() override {
      auto scanner = std::make_unique<TSaneScanner>();
      if (!scanner->Ready()) return nullptr;
      return scanner;
    }
  };
  // The module's one instance, alive as long as the module stays loaded.
  static TSane sane;
  return &sane;
}
