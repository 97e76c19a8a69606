// ".msk" files come with downloaded templates: any bytes must load safely into a
// bound mask, and what loads must save and load back the same.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "MaskFuzzInput.h"
#include "picture/Mask.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  TMaskFuzzInput fuzz(data, size);
  const TBitmap32& picture = fuzz.picture;
  std::span<const std::uint8_t> input = fuzz.bytes;
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
