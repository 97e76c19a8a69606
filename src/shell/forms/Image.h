#pragma once
// The picture control of the windows: shows a 32-bit picture at its top-left corner
// and tells who listens when the picture is replaced. A window's "IMAGEBUTTONS"
// image holds its button sheet and is usually hidden.
#include <QWidget>

#include "picture/Bitmap32.h"

class TImage : public QWidget {
  Q_OBJECT

 public:
  explicit TImage(QWidget* parent = nullptr);

  const TBitmap32& Bitmap() const { return bitmap_; }
  // Replaces the picture (an empty bitmap clears it) and emits PictureChanged.
  void SetBitmap(TBitmap32 bitmap);

 signals:
  void PictureChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TBitmap32 bitmap_;
};
