#pragma once
// A picture slider: a track frame with a thumb button moved along it, horizontal
// when the control is at least as wide as it is high. The thumb is a separate
// picture button that the slider hides and draws itself.
#include <QPointer>
#include <functional>

#include "shell/SliderGeometry.h"
#include "shell/forms/GraphicButton.h"

class TGraphicSlider : public TGraphicButton {
  Q_OBJECT

 public:
  explicit TGraphicSlider(QWidget* parent = nullptr);

  int Min() const { return min_; }
  int Max() const { return max_; }
  int Value() const { return value_; }
  // Stores the value clamped to [Min, Max]; OnChange when it differs.
  void SetValue(int value);
  // Stores all three (the value clamped) and fires OnChange once, unless nothing changes.
  void SetAllValues(int min, int max, int value);
  // Re-render without clamping the value.
  void SetMax(int max);
  // The pixel along the axis that shows the value.
  int ValuePix() const;

  // Set without repainting (the interface file sets them before the first paint).
  int BeginOffset = 0;
  int EndOffset = 0;
  int ResImageLeft = 0;
  int ResImageTop = 0;
  bool SlideBtnVisible = true;

  int SlideBtnTop() const { return slideBtnTop_; }
  int SlideBtnLeft() const { return slideBtnLeft_; }
  void SetSlideBtnTop(int value);
  void SetSlideBtnLeft(int value);
  bool Reversed() const { return reversed_; }
  void SetReversed(bool value);
  TGraphicButton* SlideButton() const { return slideButton_; }
  // The thumb; assigning one hides it, since the slider draws it.
  void SetSlideButton(TGraphicButton* thumb);
  bool Dragging() const { return dragging_; }
  bool Horizontal() const { return SliderIsHorizontal(width(), height()); }
  TSliderGeometry Geometry() const;
  // Where the thumb is drawn (empty without a drawn thumb).
  TRect ThumbRect() const;

  std::function<void()> OnChange;

  void CopyFrom(const TGraphicButton& other) override;
  // Besides the button's: REVERSED, the offsets and image origin (stored without
  // repainting) and the thumb's place (through the setters).
  bool SetInterfaceParam(const std::string& param, const std::string& value) override;
  // A slider's track keeps the size the interface gave it.
  void InterfaceApplied() override {}

 protected:
  void RenderBuffer() override;
  bool event(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool ThumbDrawn() const;
  void DragTo(QPoint point);
  void Changed();

  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
  int slideBtnTop_ = 0;
  int slideBtnLeft_ = 0;
  bool reversed_ = false;
  QPointer<TGraphicButton> slideButton_;
  bool dragging_ = false;
  QPoint dragStart_{-1, -1};
  QPoint grabOffset_{-1, -1};
};
