#pragma once
// The main window's strip of template buttons: which buttons the interface names,
// the slots they are shown in, the browser grid of each type, the paging of the
// buttons through the slots with its auto-repeat, and the caption a button gives
// the browser.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Geometry.h"

struct TTemplatePreviewInfo {
  int TypeNo = 0;
  int Columns = 0;
  int Rows = 0;
};

// The values of "FormMain.TemplateButtons", "FormMain.TemplateBtnShowPos" and
// "FormMain.TemplatePreviewInfo".
struct TTemplateButtonsInfo {
  std::vector<std::string> Names;
  std::vector<TPoint> Slots;
  std::vector<TTemplatePreviewInfo> Previews;
};
// `value` looks an interface key up (empty when it is not there).
TTemplateButtonsInfo ReadTemplateButtonsInfo(const std::function<std::string(std::string_view)>& value);

// The browser grid of a type: its preview record, 2 columns and 4 rows where a
// value is missing or zero.
TPoint TemplateGridOf(const std::vector<TTemplatePreviewInfo>& previews, int typeNo);

// The browser's caption from a button's hint: the text before the first "@", line
// breaks as blanks; `fallback` when there is no hint.
std::string TemplateCaptionOfHint(std::string_view hint, std::string_view fallback);

// Paging of `ButtonCount` buttons through `SlotCount` slots.
class TTemplateStrip {
 public:
  TTemplateStrip(int buttonCount, int slotCount) : buttonCount_(buttonCount), slotCount_(slotCount) {}

  int First() const { return first_; }
  bool PrevPressed() const { return prevPressed_; }
  bool NextPressed() const { return nextPressed_; }
  // One step; false when the step does nothing (the end of the range).
  bool Next();
  bool Prev();
  // The slot button i is shown in, -1 when it is hidden.
  int SlotOf(int button) const;

 private:
  int buttonCount_;
  int slotCount_;
  int first_ = -1;  // the first page is shown by the first Next
  bool prevPressed_ = true;
  bool nextPressed_ = false;
};

// The auto-repeat of a held scroll button: a press starts a 500 ms wait, each tick
// after it repeats every 150 ms while the button still shows its pressed frame.
class TAutoRepeat {
 public:
  static constexpr int kFirstDelay = 500;
  static constexpr int kRepeatInterval = 150;

  // Returns the timer interval to start.
  int Press(int button) {
    button_ = button;
    return kFirstDelay;
  }
  // A tick: the interval to continue with, or 0 to stop the timer. `stillPressed`
  // tells whether the held button shows its pressed frame; `step` scrolls once.
  int Tick(bool stillPressed, const std::function<void(int button)>& step);
  void Release() { button_ = -1; }
  int Button() const { return button_; }

 private:
  int button_ = -1;
};
