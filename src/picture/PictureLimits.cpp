#include "picture/PictureLimits.h"

bool PictureSizeAccepted(std::int64_t width, std::int64_t height) {
  return PictureSizeAllowed(width, height) && width * height <= kBombPixels;
}

std::string PictureTooLargeText(std::int64_t width, std::int64_t height) {
  const std::string size = "the picture is " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
  if (width > kMaxPictureSide || height > kMaxPictureSide)
    return size + ", wider or higher than the " + std::to_string(kMaxPictureSide) + " a picture may be";
  return size + ", more than the " + std::to_string(kBombPixels) + " a picture may have";
}
