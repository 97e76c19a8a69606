// ".msk" files come with downloaded templates: any bytes must load safely into a
// bound mask, and what loads must save and load back the same.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "picture/Compression.h"
#include "picture/Mask.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // Two bytes choose the picture size; the high bit of the first wraps the rest in
  // a valid zlib stream, so the parser behind the decompression is reached too.
  TBitmap32 picture(1 + (data[0] & 63), 1 + (data[1] & 63));
  std::vector<std::uint8_t> wrapped;
  std::span<const std::uint8_t> input(data + 2, size - 2);
  if (data[0] & 0x80) {
    wrapped = CompressStream(input);
    input = wrapped;
  }
  TMask mask;
  mask.SetBitmap(&picture);
  if (mask.LoadFromFileBytes(input) != TMaskLoad::Loaded) {
    if (mask.Map() != TMaskA(picture.Width(), picture.Height())) std::abort();
    return 0;
  }
  mask.GetUsedRegions();
  TMask again;
  again.SetBitmap(&picture);
  if (again.LoadFromFileBytes(mask.FileBytes()) != TMaskLoad::Loaded || again.Map() != mask.Map()) std::abort();
  return 0;
}
