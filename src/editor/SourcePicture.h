#pragma once
// A picture an acquisition (file, clipboard, camera, scanner) brought in, handed
// to the adjust window, which holds it to cut the portrait, hand or body layer.
#include "picture/Bitmap32.h"

struct TSourcePicture {
  TBitmap32 Picture;
  bool HasAlpha = false;  // only a Photoshop file brings its own alpha
};
