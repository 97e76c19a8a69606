#pragma once
// The tips window: a short page about the window just activated (while the user
// keeps tips on), shown beside the main window without taking the focus.
#include <string_view>

#include "shell/MainSettings.h"
#include "shell/forms/PageWindow.h"

class TGraphicButton;

class TFormTips : public TPageForm {
  Q_OBJECT

 public:
  // Shows the pages of the tips folder of `settings` while its ShowTips is on;
  // closing the window turns ShowTips off.
  explicit TFormTips(TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormTips() override;

  TGraphicButton* ButtonBack;
  bool TipsOn() const { return settings_.ShowTips; }

  const TMainSettings& Settings() const { return settings_; }

 private:
  TMainSettings& settings_;
};

// The standing tips window (null before it is created).
extern TFormTips* FormTips;
void RegisterFormTips(TMainSettings& settings);

// Shows the tips page of `topic`: without `userRequest` only while ShowTips is
// on (the window's settings once it is made, else `settings`); a topic without
// a page shows the "Welcome" page, or nothing with `onlyIfFound`.
void ShowTip(const TMainSettings& settings, std::string_view topic, bool userRequest = false,
             bool onlyIfFound = false);
