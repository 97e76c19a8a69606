#pragma once
// The scrolled picture of the portrait tool windows (PortraitToolForm.h): a
// picture shown at full size in its box, centred when smaller than the box,
// scrolled by two picture sliders when larger. Mouse events come out in
// picture coordinates.
#include <QWidget>
#include <functional>

#include "picture/Bitmap32.h"
#include "platform/Geometry.h"

class QPainter;
class TGraphicSlider;
class TImage;

class TPortraitScroll : public QWidget {
  Q_OBJECT
 public:
  // Makes the box and its two sliders ("SliderHPos", "SliderVPos") in `form`
  // with the frames of `sheet`.
  TPortraitScroll(QWidget& form, TImage* sheet);

  // Shows `picture` (the view keeps a copy) and sets the sliders for its size;
  // with `keepScroll` the slider positions stay as they are.
  void SetPicture(TBitmap32 picture, bool keepScroll = false);
  const TBitmap32& Picture() const { return picture_; }
  // Where the picture's corner lies in the box (negative when scrolled).
  TPoint Origin() const;

  TGraphicSlider* SliderHPos;
  TGraphicSlider* SliderVPos;

  // The keys held at the mouse event being handled.
  Qt::KeyboardModifiers Modifiers;
  std::function<void(TPoint, Qt::MouseButton)> OnPress;
  std::function<void(TPoint, Qt::MouseButtons)> OnMove;
  std::function<void(TPoint, Qt::MouseButton)> OnRelease;
  std::function<void()> OnEnter;
  // Draws over the picture, in picture coordinates.
  std::function<void(QPainter&)> OnOverlay;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;

 private:
  TPoint ToPicture(const QMouseEvent* event) const;
  TBitmap32 picture_;
};

// A slider drawn from `sheet`: its track's two frames at `trackTop`, and its
// thumb, a button named after it.
TGraphicSlider* NewSheetSlider(QWidget& form, const char* name, TImage* sheet, const QRect& bounds, int trackTop);
