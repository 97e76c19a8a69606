#pragma once
// Video capture devices behind an interface: the camera window drives one, tests
// fake it.
class ICaptureDevice {
 public:
  virtual ~ICaptureDevice() = default;
  // Connects the first camera; false when there is none or it cannot be used.
  virtual bool Connect() = 0;
  virtual void Disconnect() = 0;
  virtual bool Connected() const = 0;
};
