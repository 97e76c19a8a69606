// Pictures come from anywhere: on any bytes our readers of the common formats
// decode a picture of the size they asked about, stop where the caller says no,
// fail with a reason, or leave the file to the imaging library; they ask for the
// rows once, for the size accepted, and write only inside them.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "picture/module/DirectReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Small pictures only, so that each input decodes quickly.
  constexpr std::size_t kMaxPixels = 1 << 20;
  std::size_t acceptedWidth = 0, acceptedHeight = 0;
  auto accept = [&](std::size_t w, std::size_t h, const std::string&) {
    acceptedWidth = w, acceptedHeight = h;
    return w > 0 && h > 0 && w <= kMaxPixels && h <= kMaxPixels / w;
  };
  std::vector<std::uint8_t> rows;
  int targets = 0;
  auto target = [&](std::size_t w, std::size_t h) -> std::uint8_t* {
    if (++targets > 1 || w != acceptedWidth || h != acceptedHeight || !accept(w, h, "")) std::abort();
    rows.resize(w * h * 4);
    return rows.data();
  };
  const TDirectResult result = ReadDirect({data, size}, accept, target);
  if ((result && *result == TDirectRead::kRead && targets != 1) || (!result && result.Error().Detail.empty()))
    std::abort();
  return 0;
}
