#pragma once
// The simple uncompressed or run-length picture formats saved at 24 bits, row by
// row from the picture (the alpha byte dropped), a row of working memory beside
// it. Their bytes are those the imaging library wrote for the same picture.
#include <cstdint>

#include "picture/Bitmap32.h"
#include "platform/FileIO.h"

// BITMAPINFOHEADER, BI_RGB, `bits` 24 or 32 (alpha kept), rows bottom-up and
// padded to four bytes, `pixelsPerMetre` both ways.
bool WriteBmp(const TBitmap32& bitmap, int bits, std::uint32_t pixelsPerMetre, TFileWriter& file);
// What a picture saved as a bitmap claims: 75 dpi, as the imaging library wrote.
constexpr std::uint32_t kSavedBmpPixelsPerMetre = 75 * 39;
// Uncompressed true colour, rows bottom-up, no image id and no footer.
bool WriteTga24(const TBitmap32& bitmap, TFileWriter& file);
// Version 5, three planes of 8 bits a row, each run-length coded on its own, no
// resolution, and the 256-colour palette block after the rows (left zero).
bool WritePcx24(const TBitmap32& bitmap, TFileWriter& file);
