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
#include "platform/FileResult.h"

std::vector<std::uint8_t> EncodeBmp32(const TBitmap32& bitmap);
// The same without alpha, three bytes a pixel and rows padded to four bytes: what
// other programs read most widely.
std::vector<std::uint8_t> EncodeBmp24(const TBitmap32& bitmap);

// Reads uncompressed (BI_RGB) bitmaps of 32 bits (alpha kept) and 24 bits (alpha
// 255), bottom-up or top-down, with an info header of 40 bytes or a later, longer
// one. Damaged for anything else or pixel data that the file does not hold,
// TooLarge for a size beyond the picture caps, CannotRead (ENOMEM) when its
// picture cannot be had; the error's Detail says which in words for a user, and
// `file` names the bytes' file in it.
TFileResult<TBitmap32> DecodeBmp32(std::span<const std::uint8_t> data, const std::filesystem::path& file = {});
// The same read a band of rows at a time from where it lies (a stream in a file).
TFileResult<TBitmap32> DecodeBmp32(const TByteRange& data, const std::filesystem::path& file = {});
