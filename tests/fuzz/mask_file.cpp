// ".msk" files come with downloaded templates: any bytes must load safely into a
// bound mask, and what loads must save and load back the same.
#include <cstdint>
#include <cstdlib>

#include "picture/Mask.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  TBitmap32 picture(1 + data[0] % 64, 1 + data[1] % 64);
  TMask mask;
  mask.SetBitmap(&picture);
  if (mask.LoadFromFileBytes({data + 2, size - 2}) != TMaskLoad::Loaded) {
    if (mask.Map() != TMaskA(picture.Width(), picture.Height())) std::abort();
    return 0;
  }
  mask.GetUsedRegions();
  TMask again;
  again.SetBitmap(&picture);
  if (again.LoadFromFileBytes(mask.FileBytes()) != TMaskLoad::Loaded || again.Map() != mask.Map()) std::abort();
  return 0;
}
