#pragma once
// Colour calibration of a portrait: a clicked spot that should have a known
// colour (a skin tone) gives each channel a factor, and every pixel is scaled
// by those factors.
#include "picture/Bitmap32.h"

// The mean colour (opaque) of the 3 x 3 pixels around (x, y) that lie inside
// the picture; (x, y) itself must lie inside.
TColor32 SpotAverage(const TBitmap32& picture, int x, int y);

// Scales every pixel with alpha above 0 so that the spot at (x, y) takes the
// colour `target`; a channel whose spot average is 0 keeps the factor 1. Pixels
// that are not opaque are drawn toward white by their transparency. False, and
// nothing changed, when (x, y) lies outside the picture.
bool CalibrateColors(TBitmap32& picture, int x, int y, TColor32 target);
