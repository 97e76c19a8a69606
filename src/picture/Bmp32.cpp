#include "picture/Bmp32.h"

#include <cstdlib>

#include "picture/PictureLimits.h"
#include "picture/PlainFormats.h"
#include "platform/ByteStream.h"
#include "platform/Numeric.h"

namespace {
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
}  // namespace

namespace {
std::vector<std::uint8_t> EncodeBmp(const TBitmap32& bitmap, int bits) {
  TMemoryFileWriter file;
  WriteBmp(bitmap, bits, 2835, file);  // 72 dpi
  return std::move(file.Bytes);
}
}  // namespace

std::vector<std::uint8_t> EncodeBmp32(const TBitmap32& bitmap) { return EncodeBmp(bitmap, 32); }

std::vector<std::uint8_t> EncodeBmp24(const TBitmap32& bitmap) { return EncodeBmp(bitmap, 24); }

std::optional<TBitmap32> DecodeBmp32(std::span<const std::uint8_t> data, std::string* why) {
  auto fail = [why](std::string reason) -> std::optional<TBitmap32> {
    if (why) *why = std::move(reason);
    return std::nullopt;
  };
  ByteReader r(data);
  if (r.Text(2) != "BM") return fail("it is not a bitmap picture");
  r.Skip(8);
  const std::uint32_t offset = r.U32LE();
  const std::uint32_t infoSize = r.U32LE();
  const std::int32_t width = r.I32LE();
  const std::int32_t height = r.I32LE();
  const std::uint16_t planes = r.U16LE();
  const std::uint16_t bits = r.U16LE();
  const std::uint32_t compression = r.U32LE();
  if (!r.ok()) return fail("its bitmap picture ends too early");
  if (infoSize < kInfoHeaderSize || planes != 1 || (bits != 32 && bits != 24) || compression != kBiRgb)
    return fail("it is not an uncompressed bitmap picture of 24 or 32 bits");
  if (width < 0 || height == INT32_MIN)
    return fail("its bitmap picture gives the size " + std::to_string(width) + " x " + std::to_string(height));
  const bool topDown = height < 0;
  const std::int64_t rows = std::llabs(height);
  if (!PictureSizeAllowed(width, rows)) return fail(PictureTooLargeText(width, rows));
  const std::size_t bytesPerPixel = bits / 8;
  const std::size_t rowBytes = (std::size_t(width) * bytesPerPixel + 3) / 4 * 4;  // rows pad to 4 bytes
  // Checked before the picture is made: a few bytes may claim a huge size.
  auto needed = CheckedMul(rowBytes, std::size_t(rows));
  if (!needed || offset > data.size() || data.size() - offset < *needed)
    return fail("its bitmap picture ends too early");
  TBitmap32 bitmap;
  if (!bitmap.SetSize(width, static_cast<int>(rows))) return fail("there is not enough memory for its picture");
  r.Seek(offset);
  for (int i = 0; i < bitmap.Height(); ++i) {
    const auto source = r.Bytes(rowBytes);
    std::uint8_t* out = bitmap.Row(topDown ? i : bitmap.Height() - 1 - i);
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* s = source.data() + x * bytesPerPixel;
      out[4 * x] = s[0];
      out[4 * x + 1] = s[1];
      out[4 * x + 2] = s[2];
      out[4 * x + 3] = bits == 32 ? s[3] : 255;
    }
  }
  if (!r.ok()) return fail("its bitmap picture ends too early");
  return bitmap;
}
