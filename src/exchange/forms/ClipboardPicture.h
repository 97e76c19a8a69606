#pragma once
// Pictures on the system clipboard.
#include <optional>

#include "picture/Bitmap32.h"

// The clipboard's picture, or nullopt when it holds none (or one beyond the
// picture caps).
std::optional<TBitmap32> ClipboardPicture();
// Puts the picture's colour on the clipboard (24 bits: its alpha is not copied).
void SetClipboardPicture(const TBitmap32& picture);
