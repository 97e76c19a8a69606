#pragma once
// The picture control of the windows: shows a 32-bit picture at its top-left corner
// (stretched over the control when Stretch is set) and tells who listens when the
// picture is replaced. A window's "IMAGEBUTTONS" image holds its button sheet and is
// usually hidden; the picture buttons drawn from it repaint when it changes.
#include <QWidget>

#include "picture/Bitmap32.h"

class TImage : public QWidget {
  Q_OBJECT

 public:
  explicit TImage(QWidget* parent = nullptr);

  const TBitmap32& Picture() const { return picture_; }
  // Replaces the picture (an empty bitmap clears it) and emits PictureChanged.
  void SetPicture(TBitmap32 picture);
  bool Stretch = false;

 signals:
  void PictureChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TBitmap32 picture_;
};
