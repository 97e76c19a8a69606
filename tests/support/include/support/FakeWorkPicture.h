#pragma once
// A work for the picture output: `picture` is its export picture, empty for an
// empty work.
#include "exchange/PictureOutput.h"

class FakeWork : public IWorkPicture {
 public:
  bool WorkIsEmpty() const override { return picture.Empty(); }
  TBitmap32 TakeExportPicture() override { return picture; }
  TBitmap32 picture;
};
