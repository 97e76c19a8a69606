// The template-button strip: interface values, paging, auto-repeat and captions.
#include <gtest/gtest.h>

#include <map>

#include "editor/TemplateStrip.h"

TEST(TemplateStrip, TenButtonsPageThroughSixSlots) {
  TTemplateStrip strip(10, 6);
  EXPECT_EQ(strip.First(), -1);
  EXPECT_TRUE(strip.PrevPressed());
  EXPECT_EQ(strip.SlotOf(0), -1);  // nothing shown before the first page
  EXPECT_FALSE(strip.Prev());

  ASSERT_TRUE(strip.Next());  // the first page
  EXPECT_EQ(strip.First(), 0);
  EXPECT_TRUE(strip.PrevPressed());
  EXPECT_FALSE(strip.NextPressed());
  EXPECT_EQ(strip.SlotOf(0), 0);
  EXPECT_EQ(strip.SlotOf(5), 5);
  EXPECT_EQ(strip.SlotOf(6), -1);

  for (int i = 0; i < 3; ++i) ASSERT_TRUE(strip.Next());
  EXPECT_FALSE(strip.PrevPressed());
  EXPECT_FALSE(strip.NextPressed());
  ASSERT_TRUE(strip.Next());
  EXPECT_EQ(strip.First(), 4);
  EXPECT_TRUE(strip.NextPressed());  // pressed marks the end
  EXPECT_EQ(strip.SlotOf(3), -1);
  EXPECT_EQ(strip.SlotOf(4), 0);
  EXPECT_EQ(strip.SlotOf(9), 5);
  EXPECT_FALSE(strip.Next());
  EXPECT_EQ(strip.First(), 4);

  ASSERT_TRUE(strip.Prev());
  EXPECT_EQ(strip.First(), 3);
  EXPECT_FALSE(strip.PrevPressed());
  EXPECT_FALSE(strip.NextPressed());
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(strip.Prev());
  EXPECT_EQ(strip.First(), 0);
  EXPECT_TRUE(strip.PrevPressed());
  EXPECT_FALSE(strip.Prev());
}

TEST(TemplateStrip, FewerButtonsThanSlots) {
  TTemplateStrip strip(4, 6);
  ASSERT_TRUE(strip.Next());
  EXPECT_TRUE(strip.NextPressed());
  EXPECT_EQ(strip.SlotOf(3), 3);
  EXPECT_EQ(strip.SlotOf(4), -1);  // no such button
  EXPECT_FALSE(strip.Next());
}

TEST(TemplateStrip, AutoRepeatWhileThePressedFrameShows) {
  TAutoRepeat repeat;
  std::vector<int> steps;
  const auto step = [&](int button) { steps.push_back(button); };
  EXPECT_EQ(repeat.Press(2), 500);
  EXPECT_EQ(repeat.Tick(true, step), 150);
  EXPECT_EQ(repeat.Tick(true, step), 150);
  EXPECT_EQ(repeat.Tick(false, step), 0);  // the mouse left the button
  EXPECT_EQ(repeat.Tick(true, step), 0);
  EXPECT_EQ(steps, (std::vector<int>{2, 2}));
  repeat.Press(1);
  repeat.Release();
  EXPECT_EQ(repeat.Tick(true, step), 0);
  EXPECT_EQ(steps.size(), 2u);
}

TEST(TemplateStrip, InterfaceValuesAndGrids) {
  const std::map<std::string, std::string, std::less<>> values = {
      {"FormMain.TemplateButtons", "ButtonHairW, ButtonHairM; 'ButtonHats'"},
      {"FormMain.TemplateBtnShowPos", "10,600; 80,600; 150,x,600; 220"},
      {"FormMain.TemplatePreviewInfo", "1,3,5; 2,0,0; 7,2"},
  };
  const TTemplateButtonsInfo info = ReadTemplateButtonsInfo([&](std::string_view key) {
    auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
  });
  EXPECT_EQ(info.Names, (std::vector<std::string>{"ButtonHairW", "ButtonHairM", "ButtonHats"}));
  // Integers taken two by two; a lone last one is dropped.
  ASSERT_EQ(info.Slots.size(), 3u);
  EXPECT_EQ(info.Slots[2], (TPoint{150, 600}));
  ASSERT_EQ(info.Previews.size(), 2u);
  EXPECT_EQ(TemplateGridOf(info.Previews, 1), (TPoint{3, 5}));
  EXPECT_EQ(TemplateGridOf(info.Previews, 2), (TPoint{2, 4}));  // zeros take the defaults
  EXPECT_EQ(TemplateGridOf(info.Previews, 7), (TPoint{2, 4}));  // not listed
  EXPECT_TRUE(ReadTemplateButtonsInfo([](std::string_view) { return std::string(); }).Names.empty());
}

TEST(TemplateStrip, CaptionOfAHint) {
  EXPECT_EQ(TemplateCaptionOfHint("Hairstyles@women", "Templates"), "Hairstyles");
  EXPECT_EQ(TemplateCaptionOfHint("Hair\r\nfor women", "Templates"), "Hair for women");
  EXPECT_EQ(TemplateCaptionOfHint("", "Templates"), "Templates");
  EXPECT_EQ(TemplateCaptionOfHint("@x", "Templates"), "");
}
