#include "picture/Bmp32.h"

#include <algorithm>
#include <cerrno>
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

TFileResult<TBitmap32> DecodeBmp32(std::span<const std::uint8_t> data, const std::filesystem::path& file) {
  const TByteSource source(data);
  return DecodeBmp32(TByteRange{&source, 0, data.size()}, file);
}

TFileResult<TBitmap32> DecodeBmp32(const TByteRange& data, const std::filesystem::path& file) {
  auto fail = [&file](std::string reason) { return FileError(TFileFault::Damaged, file, 0, std::move(reason)); };
  constexpr std::size_t kHeadSize = 34;  // up to the compression field
  ByteBuffer held;
  const std::uint8_t* head = data.Get(0, std::size_t(std::min<std::uint64_t>(data.Size, kHeadSize)), held);
  if (!head) return fail("its bitmap picture cannot be read");
  ByteReader r({head, std::size_t(std::min<std::uint64_t>(data.Size, kHeadSize))});
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
  if (!PictureSizeAllowed(width, rows)) return FileError(TFileFault::TooLarge, file, 0, PictureTooLargeText(width, rows));
  const std::size_t bytesPerPixel = bits / 8;
  const std::size_t rowBytes = (std::size_t(width) * bytesPerPixel + 3) / 4 * 4;  // rows pad to 4 bytes
  // Checked before the picture is made: a few bytes may claim a huge size.
  auto needed = CheckedMul(rowBytes, std::size_t(rows));
  if (!needed || offset > data.Size || data.Size - offset < *needed) return fail("its bitmap picture ends too early");
  TBitmap32 bitmap;
  if (!bitmap.SetSize(width, static_cast<int>(rows)))
    return FileError(TFileFault::CannotRead, file, ENOMEM, "there is not enough memory for its picture");
  // Rows a band at a time: a file is read a megabyte at once, never whole.
  const int band = int(std::clamp<std::size_t>((std::size_t(1) << 20) / std::max<std::size_t>(rowBytes, 1), 1, 1 << 16));
  for (int first = 0; first < bitmap.Height() && rowBytes > 0; first += band) {
    const int count = std::min(band, bitmap.Height() - first);
    const std::uint8_t* source = data.Get(offset + std::uint64_t(first) * rowBytes, std::size_t(count) * rowBytes, held);
    if (!source) return fail("its bitmap picture ends too early");
    for (int k = 0; k < count; ++k, source += rowBytes) {
      const int i = first + k;
      std::uint8_t* out = bitmap.Row(topDown ? i : bitmap.Height() - 1 - i);
      for (int x = 0; x < width; ++x) {
        const std::uint8_t* s = source + x * bytesPerPixel;
        out[4 * x] = s[0];
        out[4 * x + 1] = s[1];
        out[4 * x + 2] = s[2];
        out[4 * x + 3] = bits == 32 ? s[3] : 255;
      }
    }
  }
  return bitmap;
}
