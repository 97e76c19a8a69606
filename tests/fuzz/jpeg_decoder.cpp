// Photos come from cameras, scanners' files and the web: any bytes must decode
// to a picture of the size the header gives, or to nothing.
#include <cstdint>
#include <cstdlib>

#include "picture/Jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto info = ReadJpegInfo({data, size});
  const auto picture = DecodeJpeg({data, size});
  if (!picture) return 0;
  if (!info || picture->Width() != info->Width || picture->Height() != info->Height) std::abort();
  for (int y = 0; y < picture->Height(); ++y)
    for (int x = 0; x < picture->Width(); ++x)
      if (AlphaOf(picture->Pixel(x, y)) != 255) std::abort();
  return 0;
}
