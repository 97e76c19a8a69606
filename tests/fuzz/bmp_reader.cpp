// Bitmap files are read back from archives and work files: any bytes must decode
// to a picture or to nothing, and what decodes must survive a round trip.
#include <cstdint>
#include <cstdlib>

#include "picture/Bmp32.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (auto bitmap = DecodeBmp32({data, size})) {
    auto again = DecodeBmp32(EncodeBmp32(*bitmap));
    if (!again || !(*again == *bitmap)) std::abort();
  }
  return 0;
}
