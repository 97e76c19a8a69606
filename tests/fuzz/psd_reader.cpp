// Photoshop files come from users and from servers (".psd" and, compressed,
// ".fcc"): any bytes must parse to a picture or to a damaged or too large one,
// and the reader's own faults never leave it.
#include <cstdint>
#include <cstdlib>

#include "picture/Compression.h"
#include "picture/PsdFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto refused = [](const TFileResult<>& read) {
    return read.Error().Cause == TFileFault::Damaged || read.Error().Cause == TFileFault::TooLarge;
  };
  TBitmap32 bitmap;
  if (const TFileResult<> read = ReadPsdImage({data, size}, bitmap); read) {
    if (bitmap.ByteSize() != std::size_t(bitmap.Width()) * std::size_t(bitmap.Height()) * 4) std::abort();
    // What the reader accepts, the writer writes back to the same picture.
    TBitmap32 again;
    if (!ReadPsdImage(BitmapToPsdStream(bitmap), again) || !(again == bitmap)) std::abort();
  } else if (!refused(read)) {
    std::abort();
  }
  // The same bytes as the content of a ".fcc" stream.
  if (auto inflated = DecompressStream({data, size}, 1 << 24))
    if (const TFileResult<> read = ReadPsdImage(*inflated, bitmap); !read && !refused(read)) std::abort();
  return 0;
}
