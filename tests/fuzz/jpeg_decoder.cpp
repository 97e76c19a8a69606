// Photos come from cameras, scanners' files and the web: any bytes must decode
// to a picture of the size the header gives (scaled down for a bomb), or to
// nothing.
#include <cstdint>
#include <cstdlib>

#include "picture/Jpeg.h"
#include "picture/PictureLimits.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto info = ReadJpegInfo({data, size});
  const auto picture = DecodeJpeg({data, size});
  if (!picture) return 0;
  if (!info || picture->Width() != info->DecodedWidth || picture->Height() != info->DecodedHeight ||
      std::int64_t(picture->Width()) * picture->Height() > kBombPixels)
    std::abort();
  // Every pixel is opaque; a huge picture is looked at in some 4096 places spread
  // over it, not walked whole.
  const std::size_t pixels = std::size_t(picture->Width()) * std::size_t(picture->Height());
  const std::size_t step = pixels / 4096 + 1;
  const std::uint8_t* bytes = picture->Bits();
  for (std::size_t i = 0; i < pixels; i += step)
    if (bytes[4 * i + 3] != 255) std::abort();
  return 0;
}
