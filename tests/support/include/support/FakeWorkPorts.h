#pragma once
// The main window's part of loading and saving works: records the questions,
// messages (with their details) and changes, and answers with `answer`.
#include <string>
#include <string_view>
#include <vector>

#include "exchange/WorkFiles.h"

class FakeWorkPorts : public IWorkPorts {
 public:
  int answer = 6;
  std::vector<std::string> questions, messages, details;
  std::vector<TChangeKind> changes;
  TBitmap32 portrait{1, 1};
  int deskModeCalls = 0;
  TSavedFlags saved;

  int AskYesNo(std::string_view key, std::string_view) override {
    questions.emplace_back(key);
    return answer;
  }
  void ShowMessage(std::string_view key, std::string_view, const std::string& detail) override {
    messages.emplace_back(key);
    details.push_back(detail);
  }
  void SetChanged(TChangeKind code) override { changes.push_back(code); }
  TSavedFlags& Saved() override { return saved; }
  void SetBusy(bool) override {}
  void ProcessMessages() override {}
  void ShowDesk() override {}
  void EnsureDeskMode() override { ++deskModeCalls; }
  void RefreshLayerList() override {}
  void SetPortraitBitmap(const TBitmap32& bitmap) override { portrait = bitmap; }
};
