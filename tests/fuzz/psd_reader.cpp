// Photoshop files come from users and from servers (".psd" and, compressed,
// ".fcc"): any bytes must parse to a picture or to EInvalidGraphic.
#include <cstdint>
#include <cstdlib>

#include "picture/Compression.h"
#include "picture/PsdFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TBitmap32 bitmap;
  try {
    ReadPsdImage({data, size}, bitmap);
    if (bitmap.ByteSize() != std::size_t(bitmap.Width()) * std::size_t(bitmap.Height()) * 4) std::abort();
    // What the reader accepts, the writer writes back to the same picture.
    TBitmap32 again;
    ReadPsdImage(BitmapToPsdStream(bitmap), again);
    if (!(again == bitmap)) std::abort();
  } catch (const EInvalidGraphic&) {
  }
  // The same bytes as the content of a ".fcc" stream.
  if (auto inflated = DecompressStream({data, size}, 1 << 24)) {
    try {
      ReadPsdImage(*inflated, bitmap);
    } catch (const EInvalidGraphic&) {
    }
  }
  return 0;
}
