#pragma once
// The designed layout of the template browser and of the main window's template
// strip, and the rows of their button sheets. The windows build themselves from
// it; the content generator draws the default sheets from the same numbers, so
// each frame has the size of its control.
#include <array>
#include <string_view>

#include "platform/Geometry.h"

// The template browser "FormTemplates".
constexpr int kTemplatesWidth = 225;
constexpr int kTemplatesHeight = 360;
constexpr TRect kTemplatesResImage{15, 75, 15 + 184, 75 + 265};

struct TSheetControl {
  std::string_view Name;
  TRect Bounds;       // on the window
  int SheetTop;       // of its row in the sheet
  std::string_view Caption;  // drawn on the default frames
};

// Frames in a sheet row: normal, hover, pressed.
constexpr int kSheetFrames = 3;

inline constexpr std::array<TSheetControl, 11> TemplatesButtonDesign = {{
    {"ButtonExit", {205, 0, 225, 19}, 0, "x"},
    {"ButtonMinimize", {185, 0, 205, 19}, 19, "_"},
    {"ButtonNail1", {15, 48, 47, 70}, 38, "1"},
    {"ButtonNail2", {50, 48, 82, 70}, 60, "2"},
    {"ButtonNail3", {85, 48, 117, 70}, 82, "3"},
    {"ButtonNail4", {120, 48, 152, 70}, 104, "4"},
    {"ButtonNail5", {155, 48, 187, 70}, 126, "5"},
    {"ButtonReplaceSameType", {15, 48, 152, 70}, 148, "Replace"},
    {"ButtonPreviewScrollUp", {202, 75, 218, 93}, 170, "^"},
    {"ButtonPreviewScrollDown", {202, 322, 218, 340}, 188, "v"},
    {"SliderScrollPreviewButton", {202, 95, 218, 111}, 206, ""},
}};
// The slider's track: frames enabled and disabled, below the buttons.
inline constexpr TRect kTemplatesSlider{202, 95, 218, 320};
constexpr int kTemplatesSliderSheetTop = 222;
constexpr int kTemplatesSheetHeight = kTemplatesSliderSheetTop + 225;
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
