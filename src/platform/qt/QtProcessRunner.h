#pragma once
// IProcessRunner on QProcess.
#include "platform/Process.h"

class TQtProcessRunner : public IProcessRunner {
 public:
  // With `keepEventsRunning` the wait handles the program's events (windows stay
  // painted; the caller disables what must not be used meanwhile).
  explicit TQtProcessRunner(bool keepEventsRunning = false) : keepEventsRunning_(keepEventsRunning) {}
  TProcessResult Run(const fs::path& program, const std::vector<std::string>& arguments, int timeoutMs) override;

 private:
  bool keepEventsRunning_;
};
