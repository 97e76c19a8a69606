#pragma once
// The montage desk as the picture output's work.
#include "editor/MontageDesk.h"
#include "exchange/PictureOutput.h"

class TDeskWorkPicture : public IWorkPicture {
 public:
  explicit TDeskWorkPicture(TMontageDesk& desk) : desk_(desk) {}
  // A desk of hidden layers is still a work.
  bool WorkIsEmpty() const override { return desk_.LayerCount() == 0; }
  // Renders the export picture and takes it out of the desk's slot.
  TBitmap32 TakeExportPicture() override {
    desk_.RenderExportBitmap();
    return desk_.TakeExportBitmap();
  }

 private:
  TMontageDesk& desk_;
};
