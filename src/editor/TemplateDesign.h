#pragma once
// The designed layout of the template browser and of the main window's template
// strip, and the rows of their button sheets. The windows build themselves from
// it; the content generator draws the default sheets from the same numbers, so
// each frame has the size of its control.
#include <array>
#include <string_view>

#include "platform/Geometry.h"

// The template browser "FormTemplates". Its skin has a 30-pixel title strip and
// a well from 42 pixels down to 48 above the bottom, 12 in from each side: the
// counter, the row of buttons, the grid and its scroll bar lie in the well.
constexpr int kTemplatesWidth = 240;
constexpr int kTemplatesHeight = 416;
constexpr int kTemplatesCaptionHeight = 30;
// The counter's band, between the well's top and the row of buttons.
constexpr int kTemplatesCounterTop = 44;
constexpr int kTemplatesCounterLeft = 18;
constexpr TRect kTemplatesResImage{18, 99, 18 + 184, 99 + 265};

struct TSheetControl {
  std::string_view Name;
  TRect Bounds;       // on the window
  int SheetTop;       // of its row in the sheet
  std::string_view Caption;  // drawn on the default frames
};

// Frames in a sheet row: normal, hover, pressed.
constexpr int kSheetFrames = 3;

inline constexpr std::array<TSheetControl, 12> TemplatesButtonDesign = {{
    {"ButtonExit", {218, 5, 238, 24}, 0, "x"},
    {"ButtonMinimize", {198, 5, 218, 24}, 19, "_"},
    {"ButtonNail1", {18, 72, 50, 94}, 38, "1"},
    {"ButtonNail2", {53, 72, 85, 94}, 60, "2"},
    {"ButtonNail3", {88, 72, 120, 94}, 82, "3"},
    {"ButtonNail4", {123, 72, 155, 94}, 104, "4"},
    {"ButtonNail5", {158, 72, 190, 94}, 126, "5"},
    {"ButtonReplaceSameType", {18, 72, 155, 94}, 148, "Replace"},
    {"ButtonPreviewScrollUp", {206, 99, 222, 117}, 170, "^"},
    {"ButtonPreviewScrollDown", {206, 346, 222, 364}, 188, "v"},
    {"SliderScrollPreviewButton", {206, 119, 222, 135}, 206, ""},
    // The questionnaires' filter switch, beside the counter.
    {"ButtonSetTemplatesFilter", {150, 46, 222, 68}, 447, "Filter"},
}};
// The slider's track: frames enabled and disabled, below the buttons.
inline constexpr TRect kTemplatesSlider{206, 119, 222, 344};
constexpr int kTemplatesSliderSheetTop = 222;
constexpr int kTemplatesSheetHeight = 447 + 22;
constexpr int kTemplatesSheetWidth = kSheetFrames * 137;

// The main window's template strip in the default interface: the scroll buttons
// and the slots under the desk, for the large and the small screen folders.
struct TTemplateStripDesign {
  TRect Prev;
  TRect Next;
  TPoint FirstSlot;
  int SlotStep;
  int ButtonWidth;
  int ButtonHeight;
};
inline constexpr TTemplateStripDesign kStrip1024{{97, 596, 117, 652}, {525, 596, 545, 652}, {121, 596}, 67, 64, 56};
inline constexpr TTemplateStripDesign kStrip800{{97, 520, 113, 566}, {449, 520, 465, 566}, {117, 520}, 56, 52, 46};
constexpr int kTemplateSlots = 6;
// The rows of the strip's sheet: one per default type button, then the scroll
// buttons, then the ready solutions' button (each row as high as the buttons).
constexpr int kTemplateStripPrevRow = 6;
constexpr int kTemplateStripNextRow = 7;
constexpr int kTemplateStripModelsRow = 8;
