#pragma once
// The size a picture from a file or a server may claim. Above kBombPixels it is
// taken for a decompression bomb: a JPEG photo decodes at a smaller scale, any
// other picture is refused before it is decoded.
#include <cstdint>
#include <string>

#include "picture/Bitmap32.h"

constexpr std::int64_t kBombPixels = 89478485;
// What decoding one picture may take in all, its own 4 bytes a pixel included:
// a fifth more than the largest picture, so that one at the limit costs about
// what it holds. A decoder that needs more (a progressive JPEG's coefficients, a
// lossless WebP's copy of the picture) refuses the picture.
constexpr std::int64_t kDecodeBudgetBytes = kBombPixels * 4 * 6 / 5;
// True when a picture of w x h from outside may be decoded at its size: within
// the caps and not above kBombPixels.
bool PictureSizeAccepted(std::int64_t width, std::int64_t height);
// Why a picture of w x h is refused, naming its size, in words for a user.
std::string PictureTooLargeText(std::int64_t width, std::int64_t height);
