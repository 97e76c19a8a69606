#include "platform/qt/MediaPlayer.h"

#include "platform/Module.h"
#include "platform/qt/MultimediaModule.h"

namespace {

// Process-wide as the multimedia module it stands for (SetMediaPlayerFactory).
TMediaPlayerFactory& Factory() {
  static TMediaPlayerFactory factory;
  return factory;
}

IMultimediaModule* Multimedia(std::string* error = nullptr) {
  return LoadModule("multimedia", tressary_module_multimedia, error);
}

// Without the multimedia module nothing opens, and the caller's own failure
// path takes over (no intro, no music, a clip that does not play).
class TAbsentPlayer final : public IMediaPlayer {
 public:
  bool Open(const std::filesystem::path&) override { return false; }
  void Close() override {}
  void Play() override {}
  void Pause() override {}
  void Stop() override {}
  TMediaMode Mode() const override { return TMediaMode::NotReady; }
  int Error() const override { return 1; }
  std::int64_t Position() const override { return 0; }
  std::int64_t Length() const override { return 0; }
  void Seek(std::int64_t) override {}
  std::int64_t FrameDuration() const override { return 0; }
  void SetDisplay(QWidget*, const QRect&) override {}
  void SetOnFinished(std::function<void()>) override {}
  void SetOnError(std::function<void()>) override {}
};

// Without the multimedia module there is no input, and connecting reports why.
class TAbsentCaptureDevice final : public ICaptureDevice {
 public:
  explicit TAbsentCaptureDevice(std::string reason) : reason_(std::move(reason)) {}
  std::vector<std::string> Inputs() override { return {}; }
  bool Connect(int) override {
    if (onError_) onError_(0, reason_);
    return false;
  }
  void Disconnect() override {}
  bool Connected() const override { return false; }
  std::vector<TCaptureFormat> Formats() override { return {}; }
  TCaptureFormat Format() override { return {}; }
  bool SetFormat(const TCaptureFormat&) override { return false; }
  void SetPreview(bool) override {}
  void SetPreviewRate(int) override {}
  std::optional<TCaptureFrame> GrabFrame() override { return std::nullopt; }
  bool Capturing() const override { return false; }
  void SetOnFrame(std::function<void(const TCaptureFrame&)>) override {}
  void SetOnError(std::function<void(int, const std::string&)> handler) override { onError_ = std::move(handler); }
  void SetOnLost(std::function<void()>) override {}

 private:
  std::string reason_;
  std::function<void(int, const std::string&)> onError_;
};

}  // namespace

bool AudioOutputAvailable() {
  IMultimediaModule* multimedia = Multimedia();
  return multimedia && multimedia->AudioOutputAvailable();
}

void SetMediaPlayerFactory(TMediaPlayerFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<IMediaPlayer> CreateMediaPlayer() {
  if (Factory()) return Factory()();
  if (IMultimediaModule* multimedia = Multimedia()) return multimedia->CreatePlayer();
  return std::make_unique<TAbsentPlayer>();
}

std::unique_ptr<ICaptureDevice> CreateCaptureDevice() {
  std::string error;
  if (IMultimediaModule* multimedia = Multimedia(&error)) return multimedia->CreateCaptureDevice();
  return std::make_unique<TAbsentCaptureDevice>(error);
}
