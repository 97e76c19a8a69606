#pragma once
// Windows bitmap files with 32 bits a pixel and the alpha byte kept, which the
// imaging libraries would drop: BITMAPFILEHEADER + BITMAPINFOHEADER, BI_RGB,
// rows bottom-up, bytes B, G, R, A.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "picture/Bitmap32.h"
#include "platform/ByteSource.h"

std::vector<std::uint8_t> EncodeBmp32(const TBitmap32& bitmap);
// The same without alpha, three bytes a pixel and rows padded to four bytes: what
// other programs read most widely.
std::vector<std::uint8_t> EncodeBmp24(const TBitmap32& bitmap);

// Reads uncompressed (BI_RGB) bitmaps of 32 bits (alpha kept) and 24 bits (alpha
// 255), bottom-up or top-down, with an info header of 40 bytes or a later, longer
// one. nullopt for anything else, a size beyond the picture caps, or pixel data
// that the file does not hold; then `why`, when given, says which in words for a
// user.
std::optional<TBitmap32> DecodeBmp32(std::span<const std::uint8_t> data, std::string* why = nullptr);
// The same read a band of rows at a time from where it lies (a stream in a file).
std::optional<TBitmap32> DecodeBmp32(const TByteRange& data, std::string* why = nullptr);
