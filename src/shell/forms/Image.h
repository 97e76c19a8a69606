#pragma once
// The picture control of the windows: shows a 32-bit picture at its top-left corner
// (stretched over the control when Stretch is set) and tells who listens when the
// picture is replaced. A window's "IMAGEBUTTONS" image holds its button sheet and is
// usually hidden; the picture buttons drawn from it repaint when it changes.
#include <QWidget>

#include "picture/Bitmap32.h"
#include "picture/SharedRowBitmap.h"

class TImage : public QWidget {
  Q_OBJECT

 public:
  explicit TImage(QWidget* parent = nullptr);

  // The picture whole (a sheet is unpacked on the first request and kept so).
  const TBitmap32& Picture() const;
  bool HasPicture() const { return !picture_.Empty() || !sheet_.Empty(); }
  // Replaces the picture (an empty bitmap clears it) and emits PictureChanged.
  void SetPicture(TBitmap32 picture);
  // The same for a picture only drawn as it is or read in parts (a skin, a button
  // sheet): held with its equal rows shared, a fraction of its size.
  void SetPackedPicture(const TBitmap32& picture);
  // Calls `read` with the picture as it is held, a TBitmap32 or a TSharedRowBitmap.
  template <class Read>
  decltype(auto) ReadPicture(Read&& read) const {
    return sheet_.Empty() ? read(picture_) : read(sheet_);
  }
  bool Stretch = false;

 signals:
  void PictureChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  mutable TBitmap32 picture_;
  TSharedRowBitmap sheet_;
};
