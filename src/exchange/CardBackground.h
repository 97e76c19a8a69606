#pragma once
// A post card's background picture: a picture placed on a card-sized ground.
#include "picture/Bitmap32.h"

enum TBackgroundPlacement { kPlaceStretch = 0, kPlaceTile = 1, kPlaceCenter = 2 };

// A cardWidth x cardHeight opaque picture of `ground` with `picture` on it:
// stretched to the card's width or height keeping its proportion and centred,
// tiled from the top-left corner, or centred at its own size. Empty for an empty
// picture or card (a picture without pixels would tile for ever).
TBitmap32 PlaceBackground(const TBitmap32& picture, int cardWidth, int cardHeight, int placement, TColor32 ground);
