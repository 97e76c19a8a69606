#pragma once
// A desktop opener that records what it is handed instead of opening it.
#include <string>
#include <vector>

#include "platform/ShellOpen.h"

struct TRecordingOpener : IShellOpener {
  std::vector<std::string> opened;
  bool OpenUrl(const std::string& url) override {
    opened.push_back(url);
    return true;
  }
};
