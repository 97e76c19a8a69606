#include "BmpReader.h"

#include "platform/ByteStream.h"
#include "platform/Numeric.h"

namespace {

constexpr int kMaxSide = 16384;
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitFields = 3;

}  // namespace

std::optional<TBgrPicture> DecodeBmp(std::span<const std::uint8_t> file) {
  ByteReader in(file);
  if (in.Text(2) != "BM") return std::nullopt;
  in.Skip(8);
  const std::uint32_t pixelOffset = in.U32LE();
  const std::uint32_t headerSize = in.U32LE();
  const std::int32_t width = in.I32LE();
  const std::int32_t rawHeight = in.I32LE();
  in.Skip(2);  // planes
  const std::uint16_t bits = in.U16LE();
  const std::uint32_t compression = in.U32LE();
  if (!in.ok() || headerSize < 40) return std::nullopt;
  if (bits != 24 && bits != 32) return std::nullopt;
  if (compression != kRgb && !(bits == 32 && compression == kBitFields)) return std::nullopt;
  // A negative height marks a top-down bitmap; INT32_MIN has no positive twin.
  if (rawHeight == INT32_MIN || width <= 0 || width > kMaxSide) return std::nullopt;
  const bool topDown = rawHeight < 0;
  const int height = topDown ? -rawHeight : rawHeight;
  if (height == 0 || height > kMaxSide) return std::nullopt;

  const std::size_t bytesPerPixel = bits / 8;
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  const auto total = CheckedMul(stride, static_cast<std::size_t>(height));
  if (!total) return std::nullopt;
  in.Seek(pixelOffset);
  const auto data = in.Bytes(*total);
  if (!in.ok()) return std::nullopt;

  TBgrPicture picture;
  picture.Width = width;
  picture.Height = height;
  picture.Pixels.resize(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    const std::size_t fileRow = topDown ? y : height - 1 - y;
    const std::uint8_t* src = data.data() + fileRow * stride;
    std::uint8_t* dst = picture.Pixels.data() + static_cast<std::size_t>(y) * width * 3;
    for (int x = 0; x < width; ++x, src += bytesPerPixel, dst += 3) {
      dst[0] = src[0];
      dst[1] = src[1];
      dst[2] = src[2];
    }
  }
  return picture;
}
