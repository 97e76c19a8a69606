// Mask streams come from work files a user opens: any bytes must load safely, and
// what loads must save and load back the same.
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
  if (mask.LoadFromStream(input) != TMaskLoad::Loaded) return 0;
  const std::vector<int> used = mask.GetUsedRegions();
  for (int region = 0; region <= 9; ++region) mask.PixelInRegion(picture.Height() - 1, picture.Width() - 1, region);
  std::vector<std::uint8_t> saved;
  mask.SaveToStream(saved);
  TMask again;
  again.SetBitmap(&picture);
  if (again.LoadFromStream(saved) != TMaskLoad::Loaded || again.Map() != mask.Map() ||
      again.SecondMap() != mask.SecondMap() || again.Mode() != mask.Mode() || again.GetUsedRegions() != used)
    std::abort();
  for (int i = 1; i <= TMask::kRegionCount; ++i)
    if (!(again.RegionValues(i) == mask.RegionValues(i))) std::abort();
  // Rebinding to another size must keep the maps consistent.
  TBitmap32 other(picture.Height(), picture.Width() + 1);
  again.SetBitmap(&other);
  if (again.Map().Width() != other.Width() || again.Map().Height() != other.Height()) std::abort();
  return 0;
}
