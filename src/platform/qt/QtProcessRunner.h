#pragma once
// IProcessRunner on QProcess.
#include "platform/Process.h"

class TQtProcessRunner : public IProcessRunner {
 public:
  TProcessResult Run(const fs::path& program, const std::vector<std::string>& arguments, int timeoutMs) override;
};
