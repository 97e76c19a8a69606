#pragma once
// A picture an acquisition (file, clipboard, camera, scanner) brought in, to cut
// the portrait, hand or body layer out of.
// Held by the adjust window (TFormAdjust::Source) until the next one is handed in.
#include "picture/Bitmap32.h"

struct TSourcePicture {
  TBitmap32 Picture;
  bool HasAlpha = false;  // only a Photoshop file brings its own alpha
};
