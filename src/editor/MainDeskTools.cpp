#include "editor/MainDeskTools.h"

#include "editor/MainState.h"

TDeskMode TMainDeskTools::DeskMode() const { return state_.DeskMode(); }

TDeskToolSettings TMainDeskTools::ToolSettings() const { return state_; }

void TMainDeskTools::ScrollDesk(int left, int top) { state_.ScrollDesk(left, top); }

void TMainDeskTools::SetBrushColor(int red, int green, int blue) {
  state_.BrushColorRed = red;
  state_.BrushColorGreen = green;
  state_.BrushColorBlue = blue;
  state_.SetControls();
}

void TMainDeskTools::ShowTip(std::string_view page) { state_.ShowTip(page); }
