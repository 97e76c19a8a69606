#pragma once
// The main window's side of the desk mouse tools: its desk mode and tool
// settings, scrolling and the picked brush colour.
#include "editor/DeskMouseTools.h"

class TMainState;

class TMainDeskTools : public IDeskToolOwner {
 public:
  explicit TMainDeskTools(TMainState& state) : state_(state) {}

  TDeskMode DeskMode() const override;
  TDeskToolSettings ToolSettings() const override;
  void ScrollDesk(int left, int top) override;
  void SetBrushColor(int red, int green, int blue) override;
  void ShowTip(std::string_view page) override;

 private:
  TMainState& state_;
};
