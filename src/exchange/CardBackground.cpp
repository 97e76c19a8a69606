#include "exchange/CardBackground.h"

#include "picture/BitmapRoutines.h"
#include "platform/Numeric.h"

TBitmap32 PlaceBackground(const TBitmap32& picture, int cardWidth, int cardHeight, int placement, TColor32 ground) {
  if (picture.Empty() || cardWidth <= 0 || cardHeight <= 0) return {};
  TBitmap32 card(cardWidth, cardHeight, ground | 0xFF000000u);
  if (card.Empty()) return {};
  const int w = picture.Width(), h = picture.Height();
  if (placement == kPlaceStretch) {
    const double ratio = double(w) / h;
    const int sw = w > h ? cardWidth : RoundInt(cardHeight * ratio);
    const int sh = w > h ? RoundInt(cardWidth / ratio) : cardHeight;
    StretchDrawBilinear(card, Bounds((cardWidth - sw) / 2, (cardHeight - sh) / 2, sw, sh), picture);
  } else if (placement == kPlaceTile) {
    for (int y = 0; y < cardHeight; y += h)
      for (int x = 0; x < cardWidth; x += w) DrawBitmap(card, x, y, picture);
  } else {
    DrawBitmap(card, (cardWidth - w) / 2, (cardHeight - h) / 2, picture);
  }
  // The card is a 24-bit picture: whatever alpha the file had is not kept.
  for (int y = 0; y < cardHeight; ++y) CopyPixelsOpaque(card.PixelPtr(0, y), card.PixelPtr(0, y), cardWidth);
  return card;
}
