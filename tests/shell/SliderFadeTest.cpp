#include <gtest/gtest.h>

#include <vector>

#include "shell/Fading.h"
#include "shell/SliderGeometry.h"

namespace {

TSliderGeometry Track(int width, int height, int min = 0, int max = 100) {
  TSliderGeometry g;
  g.TrackWidth = width;
  g.TrackHeight = height;
  g.Horizontal = SliderIsHorizontal(width, height);
  g.Min = min;
  g.Max = max;
  return g;
}

std::vector<int> RunFade(const TFadingEffect& effect, int saved, int maxTicks = 100) {
  TFadeSequence fade;
  std::vector<int> shown{fade.Start(effect, saved)};
  while (fade.Active() && maxTicks-- > 0) shown.push_back(fade.Tick(shown.back()));
  return shown;
}

}  // namespace

TEST(SliderGeometry, OrientationBySize) {
  EXPECT_TRUE(SliderIsHorizontal(100, 20));
  EXPECT_FALSE(SliderIsHorizontal(20, 100));
  EXPECT_TRUE(SliderIsHorizontal(50, 50));
}

TEST(SliderGeometry, ValuePixelAlongEitherAxis) {
  TSliderGeometry h = Track(100, 20);
  h.ResImageLeft = 3;
  h.BeginOffset = 5;
  h.EndOffset = 15;  // 80 pixels for 100 values
  EXPECT_EQ(ValuePixel(h, 0), 8);
  EXPECT_EQ(ValuePixel(h, 50), 48);
  EXPECT_EQ(ValuePixel(h, 100), 88);
  EXPECT_EQ(ValuePixel(h, 1), 9);  // round(0.8) = 1
  h.Reversed = true;
  EXPECT_EQ(ValuePixel(h, 0), 88);
  EXPECT_EQ(ValuePixel(h, 100), 8);

  TSliderGeometry v = Track(20, 100, 0, 8);
  v.ResImageTop = 2;
  v.ResImageLeft = 50;  // no influence on a vertical slider's axis
  EXPECT_EQ(ValuePixel(v, 0), 2);
  EXPECT_EQ(ValuePixel(v, 1), 14);  // round(12.5) = 12, half to even
  EXPECT_EQ(ValuePixel(v, 3), 40);  // round(37.5) = 38
}

TEST(SliderGeometry, DegenerateRangesAndTracksNeverDivide) {
  TSliderGeometry g = Track(100, 20, 7, 7);
  EXPECT_EQ(ValuePixel(g, 7), 0);
  g.Reversed = true;
  EXPECT_EQ(ValuePixel(g, 7), 100);
  EXPECT_EQ(ValueAtPixel(g, 50), 7);
  g = Track(100, 20);
  g.BeginOffset = 60;
  g.EndOffset = 40;  // no length left
  EXPECT_EQ(ValuePixel(g, 50), 60);
  EXPECT_EQ(ValueAtPixel(g, 60), std::nullopt);
  g.EndOffset = 70;  // negative length
  EXPECT_EQ(ValuePixel(g, 50), 60);
  EXPECT_EQ(ValueAtPixel(g, 30), std::nullopt);
}

TEST(SliderGeometry, ValueAtPixelInvertsValuePixelInsideTheTrackOnly) {
  TSliderGeometry g = Track(100, 20);
  g.BeginOffset = 10;
  g.EndOffset = 10;  // 80 pixels
  for (int value : {0, 25, 50, 99, 100}) EXPECT_EQ(ValueAtPixel(g, ValuePixel(g, value)), value) << value;
  EXPECT_EQ(ValueAtPixel(g, 9), std::nullopt);
  EXPECT_EQ(ValueAtPixel(g, 91), std::nullopt);
  EXPECT_EQ(ValueAtPixel(g, 11), 1);  // round(1.25)
  g.Reversed = true;
  EXPECT_EQ(ValueAtPixel(g, 10), 100);
  EXPECT_EQ(ValueAtPixel(g, 90), 0);
  g.Min = -50;
  g.Max = 50;
  EXPECT_EQ(ValueAtPixel(g, 50), 0);
}

TEST(SliderGeometry, TrackRectCarriesTheOffsetsOnTheAxis) {
  TSliderGeometry h = Track(100, 20);
  h.ResImageLeft = 1;
  h.ResImageTop = 2;
  h.BeginOffset = 3;
  h.EndOffset = 4;
  EXPECT_EQ(TrackRect(h), Bounds(4, 2, 93, 20));
  TSliderGeometry v = Track(20, 100);
  v.ResImageLeft = 1;
  v.ResImageTop = 2;
  v.BeginOffset = 3;
  v.EndOffset = 4;
  EXPECT_EQ(TrackRect(v), Bounds(1, 5, 20, 93));
}

TEST(SliderGeometry, ThumbStaysInsideTheControl) {
  EXPECT_EQ(ThumbPosition(50, 10, -1, 100), 45);
  EXPECT_EQ(ThumbPosition(50, 11, -1, 100), 45);
  EXPECT_EQ(ThumbPosition(50, 10, 2, 100), 48);  // held where it was grabbed
  EXPECT_EQ(ThumbPosition(2, 10, -1, 100), 0);
  EXPECT_EQ(ThumbPosition(100, 10, -1, 100), 89);  // ends before the last pixel
  EXPECT_EQ(ThumbPosition(5, 30, -1, 20), 0);       // larger than the control
}

TEST(SliderGeometry, ClampPrefersMinWhenTheRangeIsInverted) {
  EXPECT_EQ(ClampSliderValue(150, 0, 100), 100);
  EXPECT_EQ(ClampSliderValue(-3, 0, 100), 0);
  EXPECT_EQ(ClampSliderValue(5, 10, 0), 10);
}

TEST(FadeSequence, DefaultsSwingOnceAndReturnToTheSavedValue) {
  EXPECT_EQ(RunFade(TFadingEffect{}, 7), (std::vector<int>{1, 11, 21, 31, 41, 51, 41, 31, 21, 11, 1, 7}));
}

TEST(FadeSequence, DownwardFadeAndSensitiveStop) {
  TFadingEffect down{80, 50, -10, false, 50, false};
  EXPECT_EQ(RunFade(down, 0), (std::vector<int>{80, 70, 60, 50, 60, 70, 80, 0}));
  TFadingEffect sensitive;
  sensitive.feSensitive = true;
  EXPECT_EQ(RunFade(sensitive, 3), (std::vector<int>{1, 11, 1, 3}));
}

TEST(FadeSequence, RepeatedFadeRunsUntilAskedToStop) {
  TFadingEffect repeated;
  repeated.feRepeated = true;
  repeated.feFinish = 21;
  TFadeSequence fade;
  std::vector<int> shown{fade.Start(repeated, 40)};
  for (int i = 0; i < 6; ++i) shown.push_back(fade.Tick(shown.back()));
  EXPECT_TRUE(fade.Active());
  EXPECT_EQ(shown, (std::vector<int>{1, 11, 21, 11, 1, 11, 21}));
  fade.RequestStop();
  while (fade.Active()) shown.push_back(fade.Tick(shown.back()));
  EXPECT_EQ(std::vector<int>(shown.begin() + 7, shown.end()), (std::vector<int>{11, 1, 40}));
}

TEST(FadeSequence, ZeroStepEndsInsteadOfTickingForever) {
  TFadingEffect still;
  still.feStep = 0;
  EXPECT_EQ(RunFade(still, 9), (std::vector<int>{1, 9}));
}
