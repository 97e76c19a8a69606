#include <gtest/gtest.h>

#include <QLabel>

#include "shell/InterfaceInfo.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/GraphicSlider.h"
#include "shell/forms/SkinnedForm.h"

namespace {

// A control of a higher layer that knows a parameter of its own.
class TKnob : public QWidget, public IInterfaceTarget {
 public:
  using QWidget::QWidget;
  int resWidth = 0;
  int appliedCount = 0;
  bool SetInterfaceParam(const std::string& param, const std::string& value) override {
    if (param != "RESWIDTH") return false;
    resWidth = std::stoi(value);
    return true;
  }
  void InterfaceApplied() override { ++appliedCount; }
};

class ApplyInterfaceTest : public ::testing::Test {
 protected:
  void Use(const std::vector<std::string>& lines) { interface_.Info.LoadLines(lines); }

  TInterface interface_;
  TUseInterface useInterface_{interface_};
};

}  // namespace

TEST_F(ApplyInterfaceTest, ControlsAtAnyDepthAndWindowOffsets) {
  TSkinnedForm main("FormMain");
  main.move(100, 50);
  TSkinnedForm form("FormLayers", &main);
  auto* panel = new TDrawPanel(&form);
  panel->setObjectName("PanelTools");
  auto* label = new QLabel("x", panel);
  label->setObjectName("LabelName");
  auto* knob = new TKnob(&form);
  knob->setObjectName("SliderZoom");
  label->show();
  Use({"SECTION formlayers TFormLayers",
       "  Left = 10; Top = 20; Color = $0000FF;",
       "  OBJECT labelname TLabel",
       "    Left = 7; Width = 44; FontSize = 15; FontColor = 0xFF0000; Visible = 1;",
       "  END",
       "  OBJECT PanelTools TPanel",
       "    Color = 0x00FF00; Height = 33;",
       "  END",
       "  OBJECT SliderZoom TGraphicSlider",
       "    ResWidth = 120; Top = 9;",
       "  END",
       "  OBJECT Ghost TImage",
       "    Left = 1;",
       "  END",
       "END",
       "SECTION FormOther TFormTips",
       "  Left = 500;",
       "END"});
  ApplyInterface(&form);
  EXPECT_EQ(form.pos(), QPoint(110, 70));
  EXPECT_EQ(form.palette().color(QPalette::Window), QColor(255, 0, 0));
  EXPECT_EQ(label->x(), 7);
  EXPECT_EQ(label->width(), 44);
  EXPECT_EQ(label->font().pointSize(), 15);
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_TRUE(label->isVisibleTo(&form));  // VISIBLE=1 is not TRUE: no effect
  EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(0, 255, 0));
  EXPECT_EQ(panel->height(), 33);
  EXPECT_EQ(knob->resWidth, 120);
  EXPECT_EQ(knob->y(), 9);
  EXPECT_EQ(knob->appliedCount, 1);
}

TEST_F(ApplyInterfaceTest, TextParametersAndNothingWithoutInfo) {
  TSkinnedForm form("FormTips");
  auto* label = new QLabel("x", &form);
  label->setObjectName("LabelTip");
  ApplyInterface(&form);  // no interface info: nothing happens
  EXPECT_TRUE(label->isVisibleTo(&form));
  Use({"SECTION FormTips TFormTips", "OBJECT LabelTip TLabel",
       "Visible = false; FontName = 'DejaVu Sans';", "END",
       "OBJECT LabelTip TProgressBar", "Tag = 4;", "END", "END"});
  ApplyInterface(&form);
  EXPECT_FALSE(label->isVisibleTo(&form));
  EXPECT_EQ(label->font().family(), "DejaVu Sans");
  EXPECT_EQ(label->property("Tag").toInt(), 4);
  ApplyInterface(nullptr);
}

TEST(ColorFromBgr, ClassLibraryEncoding) {
  EXPECT_EQ(ColorFromBgr(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ColorFromBgr(0x123456), QColor(0x56, 0x34, 0x12));
}

TEST_F(ApplyInterfaceTest, PictureButtonsAndSliders) {
  TSkinnedForm form("FormMain");
  auto* button = new TGraphicButton(&form);
  button->setObjectName("ButtonExit");
  button->resize(20, 10);
  auto* slider = new TGraphicSlider(&form);
  slider->setObjectName("SliderZoom");
  slider->resize(100, 20);
  Use({"SECTION FormMain TFormMain",
       "OBJECT ButtonExit TGraphicButton",
       "  ResLeft = 40; ResTop = 8; ActiveAlpha = 300; Width = 32; Height = 24; Tag = 2;",
       "END",
       "OBJECT SliderZoom TGraphicSlider",
       "  ResWidth = 90; ResHeight = 12; BeginOffset = 5; EndOffset = 6; ResImageLeft = 7;",
       "  ResImageTop = 8; SlideBtnLeft = 3; SlideBtnTop = 4; Reversed = true;",
       "END",
       "END"});
  ApplyInterface(&form);
  EXPECT_EQ(button->Resource().Left(), 40);
  EXPECT_EQ(button->Resource().Top(), 8);
  EXPECT_EQ(button->ActiveAlpha(), 255);
  // After applying, a button's frame is its own (new) size.
  EXPECT_EQ(button->Resource().Width(), 32);
  EXPECT_EQ(button->Resource().Height(), 24);
  EXPECT_EQ(button->property("Tag").toInt(), 2);
  EXPECT_EQ(slider->Resource().Width(), 90);  // a slider keeps its frame
  EXPECT_EQ(slider->Resource().Height(), 12);
  EXPECT_EQ(slider->BeginOffset, 5);
  EXPECT_EQ(slider->EndOffset, 6);
  EXPECT_EQ(slider->ResImageLeft, 7);
  EXPECT_EQ(slider->ResImageTop, 8);
  EXPECT_EQ(slider->SlideBtnLeft(), 3);
  EXPECT_EQ(slider->SlideBtnTop(), 4);
  EXPECT_TRUE(slider->Reversed());
}
