// Scanner frames as a device might send them: the first bytes choose the frame
// layout (frame kind, depth, pixels and bytes a line, frame count), the rest are
// the samples, split over the frames.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "exchange/PictureAcquisition.h"
#include "platform/Scanner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return 0;
  constexpr int kDepths[] = {1, 8, 16, 4};
  const int frames = 1 + data[0] % 3;
  const std::span<const std::uint8_t> samples(data + 6, size - 6);
  const std::size_t part = samples.size() / std::size_t(frames);
  TScanImage image;
  for (int i = 0; i < frames; ++i) {
    TScanFrameFormat format;
    format.Frame = TScanFrame((data[1] + i) % 5);
    format.Depth = kDepths[data[2] % 4];
    format.PixelsPerLine = data[3] + 1;
    format.BytesPerLine = data[4] + data[5] * 256;
    if (!AddScanFrame(image, format, samples.subspan(std::size_t(i) * part, part), std::size_t(1) << 20)) break;
  }
  if (image.Samples.empty()) return 0;
  // Whatever was taken is a whole picture of that size.
  const std::size_t channels = image.Color ? 3 : 1;
  if (image.Samples.size() != std::size_t(image.Width) * std::size_t(image.Height) * channels) std::abort();
  const TBitmap32 picture = BitmapFromScan(image);
  if (picture.Width() != image.Width || picture.Height() != image.Height) std::abort();
  return 0;
}
