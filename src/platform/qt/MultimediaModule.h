#pragma once
// Qt Multimedia behind the media player and the camera: the module
// "multimedia" (see platform/Module.h), loaded with the first sound, clip or
// camera.
#include <memory>

#include "platform/Capture.h"

class IMediaPlayer;

class IMultimediaModule {
 public:
  virtual std::unique_ptr<IMediaPlayer> CreatePlayer() = 0;
  // At least one audio output device exists.
  virtual bool AudioOutputAvailable() = 0;
  virtual std::unique_ptr<ICaptureDevice> CreateCaptureDevice() = 0;

 protected:
  ~IMultimediaModule() = default;
};

extern "C" [[gnu::weak]] IMultimediaModule* tressary_module_multimedia();
