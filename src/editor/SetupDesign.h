#pragma once
// The settings window's layout and its default button sheet: one row of three
// frames (normal, hover, pressed) for every plain button, one for the exit
// button. The skin generator draws the sheet from the same numbers.
#include "platform/Geometry.h"

namespace setup_design {

constexpr int kFormWidth = 540;
constexpr int kFormHeight = 440;
constexpr int kCaptionHeight = 20;
constexpr TRect kExit{512, 0, 532, 19};
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 28;

constexpr int kSheetButtonTop = 0;
constexpr int kSheetExitTop = kButtonHeight;
constexpr int kSheetWidth = 3 * kButtonWidth;
constexpr int kSheetHeight = kSheetExitTop + (kExit.Bottom - kExit.Top);

}  // namespace setup_design
