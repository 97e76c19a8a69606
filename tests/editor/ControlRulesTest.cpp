#include <gtest/gtest.h>

#include <string>

#include "editor/ControlRules.h"

namespace {

TControlsInput Work(int mode, int selected, int count = 3) {
  TControlsInput in;
  in.LayerCount = count;
  in.SelectedIndex = selected;
  in.SelectedVisible = true;
  in.Mode = mode;
  in.ModeSkinPresent.fill(true);
  return in;
}

bool Wanted(const TControlsPlan& plan, std::string_view name) {
  const TControlDecision* d = plan.Find(name);
  EXPECT_NE(d, nullptr) << name;
  return d && d->Wanted;
}

bool Enabled(const TControlsPlan& plan, std::string_view name) {
  const TControlDecision* d = plan.Find(name);
  EXPECT_NE(d, nullptr) << name;
  return d && d->Enabled;
}

}  // namespace

TEST(ControlRulesTest, WithoutLayersTheDeskAndBothPanelsAreHiddenAndNothingElseChanges) {
  TControlsPlan plan = PlanControls(Work(dmColoration, -1, 0));
  EXPECT_FALSE(plan.DeskVisible);
  EXPECT_FALSE(plan.LayerToolsVisible);
  EXPECT_FALSE(plan.DesktopToolsVisible);
  EXPECT_TRUE(plan.Panel.empty());
  EXPECT_EQ(plan.ModePressed, (std::array<bool, 6>{}));
}

TEST(ControlRulesTest, APanelWithTagZeroStaysHidden) {
  TControlsInput in = Work(dmNone, -1);
  in.LayerToolsTag = 0;
  TControlsPlan plan = PlanControls(in);
  EXPECT_TRUE(plan.DeskVisible);
  EXPECT_FALSE(plan.LayerToolsVisible);
  EXPECT_TRUE(plan.DesktopToolsVisible);
}

TEST(ControlRulesTest, EachModeWantsItsOwnSlidersOnly) {
  const struct {
    int mode;
    std::string_view wanted, unwanted;
  } cases[] = {
      {dmColoration, "SliderSaturation", "SliderBrightness"}, {dmAppearance, "SliderOpacity", "SliderHue"},
      {dmPaint, "SliderBrushSize", "SliderEraserSize"},       {dmErase, "SliderEraserPower", "SliderBrushPower"},
      {dmModify, "SliderModifierSize", "SliderRedColor"},     {dmActions, "ButtonLayerDelete", "SliderContrast"},
  };
  for (const auto& c : cases) {
    TControlsPlan plan = PlanControls(Work(c.mode, 1));
    EXPECT_TRUE(Wanted(plan, c.wanted)) << c.mode;
    EXPECT_FALSE(Wanted(plan, c.unwanted)) << c.mode;
    for (std::size_t i = 0; i < ModeButtons.size(); ++i)
      EXPECT_EQ(plan.ModePressed[i], ModeButtons[i].Mode == c.mode);
  }
  EXPECT_FALSE(Wanted(PlanControls(Work(dmColoration, 1)), "ButtonLayerDelete"));
}

TEST(ControlRulesTest, SlidersAreEnabledOnlyWithASelection) {
  EXPECT_TRUE(Enabled(PlanControls(Work(dmAppearance, 0)), "SliderContrast"));
  TControlsPlan none = PlanControls(Work(dmAppearance, -1));
  EXPECT_TRUE(Wanted(none, "SliderContrast"));
  EXPECT_FALSE(Enabled(none, "SliderContrast"));
}

TEST(ControlRulesTest, PaletteIsActiveOnlyWithASelectionInItsModes) {
  EXPECT_TRUE(PlanControls(Work(dmPaint, 0)).PaletteActive);
  EXPECT_FALSE(PlanControls(Work(dmPaint, -1)).PaletteActive);
  EXPECT_FALSE(PlanControls(Work(dmErase, 0)).PaletteActive);
  TControlsPlan noSelection = PlanControls(Work(dmAppearance, -1));
  EXPECT_TRUE(Wanted(noSelection, "ImagePalette"));
  EXPECT_FALSE(Wanted(noSelection, "ButtonPaletteNext"));
  TControlsInput scrolling = Work(dmColoration, 0);
  EXPECT_FALSE(Wanted(PlanControls(scrolling), "SliderPaletteColor"));
  scrolling.PaletteSliderTag = 1;
  EXPECT_TRUE(Wanted(PlanControls(scrolling), "SliderPaletteColor"));
}

TEST(ControlRulesTest, StackButtonsFollowThePlaceOfTheSelection) {
  TControlsPlan top = PlanControls(Work(dmActions, 0));
  EXPECT_FALSE(Enabled(top, "ButtonLayerMoveTop"));
  EXPECT_TRUE(Enabled(top, "ButtonLayerMoveBottom"));
  TControlsPlan bottom = PlanControls(Work(dmActions, 2));
  EXPECT_TRUE(Enabled(bottom, "ButtonLayerMoveTop"));
  EXPECT_FALSE(Enabled(bottom, "ButtonLayerMoveBottom"));
  TControlsPlan none = PlanControls(Work(dmActions, -1));
  EXPECT_FALSE(Enabled(none, "ButtonLayerMoveTop"));
  EXPECT_FALSE(Enabled(none, "ButtonLayerMoveBottom"));
  EXPECT_FALSE(Enabled(none, "ButtonLayerDelete"));
}

TEST(ControlRulesTest, ShowAndHideSwapWithTheVisibilityOfTheSelection) {
  TControlsInput in = Work(dmActions, 1);
  TControlsPlan visible = PlanControls(in);
  EXPECT_TRUE(Wanted(visible, "ButtonLayerHide"));
  EXPECT_FALSE(Wanted(visible, "ButtonLayerShow"));
  in.SelectedVisible = false;
  TControlsPlan hidden = PlanControls(in);
  EXPECT_FALSE(Wanted(hidden, "ButtonLayerHide"));
  EXPECT_TRUE(Wanted(hidden, "ButtonLayerShow"));
  TControlsPlan none = PlanControls(Work(dmActions, -1));
  EXPECT_TRUE(Wanted(none, "ButtonLayerShow"));
  EXPECT_FALSE(Enabled(none, "ButtonLayerShow"));
}

TEST(ControlRulesTest, ButtonsThatNeedMoreThanASelection) {
  TControlsInput in = Work(dmActions, 0);
  TControlsPlan plan = PlanControls(in);
  EXPECT_FALSE(Enabled(plan, "ButtonLayerPasteState"));
  EXPECT_FALSE(Enabled(plan, "ButtonBaldHead"));
  EXPECT_FALSE(plan.UndoEnabled);
  in.CopiedState = true;
  in.HasPortrait = true;
  in.SelectedHistoryCount = 1;
  in.FlipTag = 0;
  plan = PlanControls(in);
  EXPECT_TRUE(Enabled(plan, "ButtonLayerPasteState"));
  EXPECT_TRUE(Enabled(plan, "ButtonBaldHead"));
  EXPECT_TRUE(plan.UndoEnabled);
  EXPECT_FALSE(Wanted(plan, "ButtonLayerFlipHorizontal"));
}

TEST(ControlRulesTest, AModeSkinIsWantedOnlyWithAPicture) {
  TControlsInput in = Work(dmErase, 0);
  EXPECT_TRUE(Wanted(PlanControls(in), "ImageSkinEraser"));
  EXPECT_FALSE(Wanted(PlanControls(in), "ImageSkinBrush"));
  in.ModeSkinPresent[dmErase] = false;
  EXPECT_FALSE(Wanted(PlanControls(in), "ImageSkinEraser"));
}
