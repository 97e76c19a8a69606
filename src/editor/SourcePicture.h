#pragma once
// The picture an acquisition (file, clipboard, camera, scanner) brought in last:
// the adjust window cuts the portrait, hand or body layer out of it.
#include "picture/Bitmap32.h"

// Kept until the next acquisition replaces it; a failed or cancelled acquisition
// leaves it as it was.
extern TBitmap32 SourcePicture;
// The picture came from a Photoshop file and carries its own alpha.
extern bool SourceHasAlpha;

// Both back to their start-up values (tests).
void ResetSourcePicture();
