#pragma once
// The layout shared by the portrait tool windows (bald head, colour calibration,
// region editor) and by their default button sheets: a scrolled picture on the
// left, buttons on the right.
// The skin generator draws the sheets from the same numbers.
#include "platform/Geometry.h"

namespace portrait_tool {

constexpr int kFormWidth = 730;
constexpr int kFormHeight = 620;
constexpr int kCaptionHeight = 20;
constexpr TRect kScrollBox{10, 30, 570, 590};
constexpr TRect kSliderHPos{10, 596, 570, 612};
constexpr TRect kSliderVPos{584, 30, 600, 590};
constexpr TRect kExit{700, 0, 720, 19};

constexpr int kButtonLeft = 614;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 28;
constexpr int kThumbSide = 16;
constexpr TRect kToolSlider{kButtonLeft, 0, kButtonLeft + kButtonWidth, 16};  // placed per window

// The button sheet: one row of three frames (normal, hover, pressed) for the
// plain buttons, the exit button and the sliders' thumb; two frames (enabled,
// disabled) for each slider track.
constexpr int kSheetButtonTop = 0;
constexpr int kSheetExitTop = kButtonHeight;
constexpr int kSheetThumbTop = kSheetExitTop + (kExit.Bottom - kExit.Top);
constexpr int kSheetToolTrackTop = kSheetThumbTop + kThumbSide;
constexpr int kSheetHTrackTop = kSheetToolTrackTop + (kToolSlider.Bottom - kToolSlider.Top);
constexpr int kSheetVTrackTop = kSheetHTrackTop + (kSliderHPos.Bottom - kSliderHPos.Top);
constexpr int kSheetWidth = 2 * (kSliderHPos.Right - kSliderHPos.Left);
constexpr int kSheetHeight = kSheetVTrackTop + (kSliderVPos.Bottom - kSliderVPos.Top);

}  // namespace portrait_tool
