#pragma once
// A page view that records what it was asked to load; files named "*.broken"
// do not load.
#include <string>
#include <vector>

#include "shell/HelpPages.h"

class TRecordingView : public IPageView {
 public:
  fs::path CurrentFile() const override { return current; }
  bool LoadFile(const fs::path& file) override {
    loads.push_back(file.filename().string());
    if (file.extension() == ".broken") return false;
    current = file;
    return true;
  }
  fs::path current;
  std::vector<std::string> loads;
};
