#include <gtest/gtest.h>

#include "shell/InterfaceInfo.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/GraphicSlider.h"

// The interface file moves a window's picture buttons and sliders and points them
// at their frames.
TEST(SkinControlsInterface, ResourceSliderAndAlphaParametersReachTheControls) {
  TInterface look;
  TUseInterface useLook(look);
  look.Info.LoadLines({"SECTION FormTips TFormTips",
                       "OBJECT ButtonBack TGraphicButton",
                       "ResLeft = 5; ResTop = 7; ActiveAlpha = 300; Width = 40;",
                       "END",
                       "OBJECT SliderPage TGraphicSlider",
                       "ResImageLeft = 3; ResImageTop = 1; BeginOffset = 4; EndOffset = 6;",
                       "SlideBtnTop = 2; SlideBtnLeft = 9; Reversed = TRUE; Width = 80; ResWidth = 70;",
                       "END",
                       "END"});
  QWidget form;
  form.setObjectName("FormTips");
  auto* button = new TGraphicButton(&form);
  button->setObjectName("ButtonBack");
  auto* slider = new TGraphicSlider(&form);
  slider->setObjectName("SliderPage");
  ApplyInterface(&form);
  EXPECT_EQ(button->Resource().Left(), 5);
  EXPECT_EQ(button->Resource().Top(), 7);
  EXPECT_EQ(button->ActiveAlpha(), 255);
  // A button's frame takes the button's size once the window is laid out.
  EXPECT_EQ(button->Resource().Width(), 40);
  EXPECT_EQ(button->Resource().Height(), 32);
  EXPECT_EQ(slider->ResImageLeft, 3);
  EXPECT_EQ(slider->ResImageTop, 1);
  EXPECT_EQ(slider->BeginOffset, 4);
  EXPECT_EQ(slider->EndOffset, 6);
  EXPECT_EQ(slider->SlideBtnTop(), 2);
  EXPECT_EQ(slider->SlideBtnLeft(), 9);
  EXPECT_TRUE(slider->Reversed());
  EXPECT_EQ(slider->width(), 80);
  EXPECT_EQ(slider->Resource().Width(), 70);  // a slider keeps its own track size
}
