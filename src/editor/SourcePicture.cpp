#include "editor/SourcePicture.h"

TBitmap32 SourcePicture;
bool SourceHasAlpha = false;

void ResetSourcePicture() {
  SourcePicture.Reset();
  SourceHasAlpha = false;
}
