#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <memory>

#include "SyntheticMouse.h"
#include "shell/forms/GraphicSlider.h"
#include "shell/forms/Image.h"

namespace {

// A 100x20 track (grey, opaque) and, beside it, two 10x10 thumb frames
// (normal white, pressed black), all on one sheet.
TBitmap32 SliderSheet() {
  TBitmap32 sheet(120, 20, Color32(90, 90, 90));
  for (int y = 0; y < 10; ++y)
    for (int x = 100; x < 120; ++x) sheet.SetPixel(x, y, x < 110 ? Color32(255, 255, 255) : Color32(0, 0, 0));
  return sheet;
}

struct SliderWindow {
  std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
  TImage* sheet = new TImage(window.get());
  TGraphicSlider* slider = new TGraphicSlider(window.get());
  TGraphicButton* thumb = new TGraphicButton(window.get());
  int changes = 0;

  explicit SliderWindow(int width = 100, int height = 20) {
    window->resize(200, 200);
    sheet->hide();
    sheet->SetPicture(SliderSheet());
    slider->setGeometry(10, 10, width, height);
    slider->Resource().SetImage(sheet);
    slider->Resource().SetCols(1);
    slider->Resource().AutoPressed = -1;
    slider->SetActiveAlpha(1);
    thumb->resize(10, 10);
    thumb->Resource().SetImage(sheet);
    thumb->Resource().SetLeft(100);
    thumb->Resource().SetCols(2);
    thumb->SetTransparency(0);
    slider->SetSlideButton(thumb);
    slider->SetSlideBtnTop(5);
    slider->OnChange = [this] { ++changes; };
  }
};

}  // namespace

TEST(GraphicSlider, ValueIsClampedWithOneChange) {
  SliderWindow w;
  w.slider->SetValue(150);
  EXPECT_EQ(w.slider->Value(), 100);
  EXPECT_EQ(w.changes, 1);
  w.slider->SetAllValues(0, 100, 100);
  EXPECT_EQ(w.changes, 1);  // nothing changed
  w.slider->SetAllValues(10, 20, 5);
  EXPECT_EQ(w.slider->Value(), 10);
  EXPECT_EQ(w.changes, 2);
  w.slider->SetMax(5);  // does not clamp
  EXPECT_EQ(w.slider->Value(), 10);
  EXPECT_EQ(w.changes, 2);
}

TEST(GraphicSlider, OrientationAndValuePixelFollowTheControlsShape) {
  SliderWindow horizontal(100, 20);
  EXPECT_TRUE(horizontal.slider->Horizontal());
  horizontal.slider->SetValue(30);
  EXPECT_EQ(horizontal.slider->ValuePix(), 30);
  SliderWindow vertical(20, 100);
  EXPECT_FALSE(vertical.slider->Horizontal());
  vertical.slider->SetValue(30);
  EXPECT_EQ(vertical.slider->ValuePix(), 30);
  SliderWindow square(50, 50);
  EXPECT_TRUE(square.slider->Horizontal());
  square.slider->SetAllValues(5, 5, 5);
  EXPECT_EQ(square.slider->ValuePix(), 0);
  square.slider->SetReversed(true);
  EXPECT_EQ(square.slider->ValuePix(), 50);
}

TEST(GraphicSlider, ThumbIsDrawnCentredOnTheValueInsideTheControl) {
  SliderWindow w;
  EXPECT_TRUE(w.thumb->isHidden());
  w.slider->SetValue(50);
  EXPECT_EQ(w.slider->ThumbRect(), Bounds(45, 5, 10, 10));
  const TBitmap32& buffer = w.slider->Buffer();
  EXPECT_EQ(buffer.Pixel(45, 5), Color32(255, 255, 255));
  EXPECT_EQ(buffer.Pixel(54, 14), Color32(255, 255, 255));
  EXPECT_EQ(buffer.Pixel(44, 5), Color32(90, 90, 90));
  EXPECT_EQ(buffer.Pixel(45, 4), Color32(90, 90, 90));
  w.slider->SetValue(100);
  EXPECT_EQ(w.slider->ThumbRect(), Bounds(89, 5, 10, 10));
  w.slider->SetValue(0);
  EXPECT_EQ(w.slider->ThumbRect(), Bounds(0, 5, 10, 10));
  w.slider->SlideBtnVisible = false;
  EXPECT_TRUE(w.slider->ThumbRect().IsEmpty());
}

TEST(GraphicSlider, ClickOnTheTrackJumpsAndDraggingTheThumbFollows) {
  SliderWindow w;
  w.slider->BeginOffset = 10;
  w.slider->EndOffset = 10;  // 80 pixels from x 10 to x 90
  SendMouse(w.slider, QEvent::MouseButtonPress, {30, 2}, Qt::LeftButton);
  EXPECT_EQ(w.slider->Value(), 25);
  EXPECT_TRUE(w.slider->Dragging());
  EXPECT_TRUE(w.thumb->Pressed());
  EXPECT_EQ(w.slider->Buffer().Pixel(30, 10), Color32(0, 0, 0));  // pressed frame
  SendMouse(w.slider, QEvent::MouseMove, {50, 2});
  EXPECT_EQ(w.slider->Value(), 50);
  SendMouse(w.slider, QEvent::MouseMove, {150, 2});  // outside the track: unchanged
  EXPECT_EQ(w.slider->Value(), 50);
  SendMouse(w.slider, QEvent::MouseButtonRelease, {150, 2}, Qt::LeftButton);
  EXPECT_FALSE(w.slider->Dragging());
  EXPECT_FALSE(w.thumb->Pressed());
  EXPECT_EQ(w.changes, 2);
  // Grabbing the thumb off centre keeps it under the cursor while it moves.
  EXPECT_EQ(w.slider->ThumbRect(), Bounds(45, 5, 10, 10));
  SendMouse(w.slider, QEvent::MouseButtonPress, {52, 8}, Qt::LeftButton);
  EXPECT_EQ(w.slider->Value(), 50);  // grabbing alone does not move it
  SendMouse(w.slider, QEvent::MouseMove, {62, 8});
  EXPECT_EQ(w.slider->Value(), 65);  // round(52 / 80 * 100)
  EXPECT_EQ(w.slider->ThumbRect(), Bounds(ValuePixel(w.slider->Geometry(), 65) - 7, 5, 10, 10));
  SendMouse(w.slider, QEvent::MouseButtonRelease, {62, 8}, Qt::LeftButton);
}

TEST(GraphicSlider, VerticalReversedSliderPicksValuesFromTheBottom) {
  SliderWindow w(20, 100);
  w.slider->SetReversed(true);
  SendMouse(w.slider, QEvent::MouseButtonPress, {3, 75}, Qt::LeftButton);
  EXPECT_EQ(w.slider->Value(), 25);
  SendMouse(w.slider, QEvent::MouseButtonRelease, {3, 75}, Qt::LeftButton);
}

TEST(GraphicSlider, TrackWithoutLengthNeverDivides) {
  SliderWindow w;
  w.slider->BeginOffset = 60;
  w.slider->EndOffset = 60;
  w.slider->SetValue(40);
  EXPECT_EQ(w.slider->ValuePix(), 60);
  SendMouse(w.slider, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
  SendMouse(w.slider, QEvent::MouseMove, {60, 5});
  EXPECT_EQ(w.slider->Value(), 40);
  SendMouse(w.slider, QEvent::MouseButtonRelease, {60, 5}, Qt::LeftButton);
}

TEST(GraphicSlider, CopyTakesRangeThumbAndHandler) {
  SliderWindow w;
  w.slider->SetAllValues(-10, 10, 4);
  w.slider->BeginOffset = 3;
  w.slider->SetReversed(true);
  TGraphicSlider copy(w.window.get());
  copy.CopyFrom(*w.slider);
  EXPECT_EQ(copy.Min(), -10);
  EXPECT_EQ(copy.Max(), 10);
  EXPECT_EQ(copy.Value(), 4);
  EXPECT_EQ(copy.BeginOffset, 3);
  EXPECT_TRUE(copy.Reversed());
  EXPECT_EQ(copy.SlideButton(), w.thumb);
  EXPECT_EQ(copy.SlideBtnTop(), 5);
  const int before = w.changes;
  copy.SetValue(0);
  EXPECT_EQ(w.changes, before + 1);  // the handler came along
}
