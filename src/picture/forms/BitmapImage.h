#pragma once
// Painting TBitmap32 pictures with Qt without copying their pixels.
#include <QImage>

#include "picture/Bitmap32.h"
#include "picture/SharedRowBitmap.h"

class QPainter;

// A QImage (Format_ARGB32) over the bitmap's bytes. It is valid only while the
// bitmap lives and is not resized; a null image for an empty bitmap.
QImage ImageView(const TBitmap32& bitmap);
// The same view, writable: a QPainter on it draws straight into the bitmap.
QImage WritableImageView(TBitmap32& bitmap);
// A deep copy of any QImage as a TBitmap32 (straight, not premultiplied, alpha).
TBitmap32 BitmapFromImage(const QImage& image);
// Draws the part of `picture` inside `area` (picture coordinates) with its top-left
// corner at the painter's origin, as drawImage would draw the whole picture there.
void DrawRows(QPainter& painter, const TSharedRowBitmap& picture, const QRect& area);
