// Packed pictures arrive in ".fll" files, work files and archives: any bytes must
// unpack to a picture whose alpha covers it, or to nothing.
#include <cstdint>
#include <cstdlib>

#include "picture/Compression.h"
#include "picture/PackedPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // As stored (a zlib stream) and as the record inside one, so the fuzzer reaches
  // the record parser without having to find valid zlib.
  if (auto bitmap = UnpackBitmap32({data, size})) {
    if (bitmap->Empty()) std::abort();
  }
  ByteReader reader({data, size});
  const std::uint32_t jpegLength = reader.U32LE();
  const std::uint32_t alphaLength = reader.U32LE();
  if (reader.ok()) {
    if (auto bitmap = JpegAlphaToBitmap(reader, jpegLength, alphaLength)) {
      if (std::size_t(bitmap->Width()) * std::size_t(bitmap->Height()) != alphaLength) std::abort();
    }
  }
  return 0;
}
