#include "picture/PackedPicture.h"

#include <algorithm>

#include "picture/BitmapRoutines.h"
#include "picture/Bmp32.h"
#include "picture/Compression.h"
#include "picture/PictureLimits.h"

std::vector<std::uint8_t> PackBitmap32(const TBitmap32& bitmap, int quality) {
  const std::vector<std::uint8_t> jpeg = EncodeJpeg(bitmap, quality);
  const std::size_t pixels = std::size_t(bitmap.Width()) * std::size_t(bitmap.Height());
  ByteWriter head;
  head.U32LE(static_cast<std::uint32_t>(jpeg.size()));
  head.U32LE(static_cast<std::uint32_t>(pixels));
  std::vector<std::uint8_t> alpha(pixels);
  const std::uint8_t* in = bitmap.Bits();
  for (std::size_t i = 0; i < pixels; ++i) alpha[i] = in[4 * i + 3];
  const TStreamPart parts[] = {{head.Data()}, {jpeg, true}, {alpha}};
  return CompressStream(parts);
}

namespace {
// The fourth byte of each pixel from `pixels` on, one alpha byte each.
void PutAlpha(std::uint8_t* pixels, std::span<const std::uint8_t> alpha) {
  for (std::size_t i = 0; i < alpha.size(); ++i) pixels[4 * i + 3] = alpha[i];
}

// The header first: the alpha bytes must cover the picture exactly, which also
// bounds what decoding may allocate by the size of the data; a picture above the
// bomb limit is refused, not scaled, since its alpha bytes are of its full size.
TFileResult<TBitmap32> DecodeColour(std::span<const std::uint8_t> jpeg, std::size_t alphaLength,
                                    const std::filesystem::path& file) {
  auto fail = [&file](std::string reason) { return FileError(TFileFault::Damaged, file, 0, std::move(reason)); };
  const auto info = ReadJpegInfo(jpeg);
  if (!info) return fail("its colour is not a JPEG picture it can read");
  if (info->Scale != 1)
    return FileError(TFileFault::TooLarge, file, 0, PictureTooLargeText(info->Width, info->Height));
  if (std::size_t(info->Width) * std::size_t(info->Height) != alphaLength)
    return fail("its colour and its transparency differ in size");
  TFileResult<TBitmap32> bitmap = DecodeJpeg(jpeg);
  if (!bitmap) return fail("its colour is a damaged JPEG picture");
  return *std::move(bitmap);
}
}  // namespace

std::optional<TBitmap32> JpegAlphaToBitmap(ByteReader& reader, std::uint32_t jpegLength, std::uint32_t alphaLength) {
  const auto jpeg = reader.Bytes(jpegLength);
  const auto alpha = reader.Bytes(alphaLength);
  if (!reader.ok()) return std::nullopt;
  TFileResult<TBitmap32> bitmap = DecodeColour(jpeg, alpha.size(), {});
  if (!bitmap) return std::nullopt;
  PutAlpha(bitmap->Bits(), alpha);
  return *std::move(bitmap);
}

// Inflated part by part: the JPEG whole, the alpha bytes a block at a time
// straight into the picture, so that no copy of the whole record is ever held
// (works open their layers on several threads at once).
TFileResult<TBitmap32> UnpackBitmap32(std::span<const std::uint8_t> packed, const std::filesystem::path& file) {
  TInflater in(packed);
  auto fail = [&in, &file] { return FileError(TFileFault::Damaged, file, 0, std::string(in.Problem())); };
  std::uint8_t head[8];
  if (!in.Read(head)) return fail();
  ByteReader r(head);
  const std::uint32_t jpegLength = r.U32LE();
  const std::uint32_t alphaLength = r.U32LE();
  // The JPEG grows as its bytes come: a length the stream does not hold (deflate
  // expands at most 1032 times) allocates no more than the stream could give.
  constexpr std::size_t kPart = 1 << 14;
  std::vector<std::uint8_t> jpeg;
  jpeg.reserve(std::min<std::size_t>(jpegLength, packed.size() * 1032));
  while (jpeg.size() < jpegLength) {
    const std::size_t at = jpeg.size();
    jpeg.resize(at + std::min<std::size_t>(kPart * 4, jpegLength - at));
    if (!in.Read(std::span(jpeg).subspan(at))) return fail();
  }
  TFileResult<TBitmap32> bitmap = DecodeColour(jpeg, alphaLength, file);
  if (!bitmap) return bitmap;
  std::uint8_t* out = bitmap->Bits();
  std::uint8_t block[kPart];
  for (std::size_t done = 0; done < alphaLength;) {
    const std::size_t n = std::min<std::size_t>(kPart, alphaLength - done);
    if (!in.Read({block, n})) return fail();
    PutAlpha(out + 4 * done, {block, n});
    done += n;
  }
  // The rest of the stream must be sound to its checksum, as when it was read whole.
  if (!in.Finish()) return fail();
  return bitmap;
}

std::optional<std::uint64_t> PackedPicturePixels(std::span<const std::uint8_t> packed) {
  const auto lengths = DecompressPrefix(packed, 8);
  if (!lengths) return std::nullopt;
  ByteReader r(*lengths);
  const std::uint32_t jpegLength = r.U32LE();
  const std::uint32_t alphaLength = r.U32LE();
  // A damaged head claims what it likes: the JPEG's own head, when it can be seen
  // near the start, says whether the picture unpacks at all (and so costs anything).
  const auto start = DecompressPrefix(packed, 10);
  if (!start || jpegLength < 2) return alphaLength;
  if ((*start)[8] != 0xFF || (*start)[9] != 0xD8) return 0;  // no JPEG: it does not unpack
  constexpr std::size_t kHeadLook = 64 << 10;
  const std::size_t look = std::min<std::size_t>(jpegLength, kHeadLook);
  const auto head = DecompressPrefix(packed, 8 + look);
  if (!head) return alphaLength;
  const auto info = ReadJpegInfo(std::span(*head).subspan(8));
  if (!info) return look == jpegLength ? 0 : alphaLength;
  const bool unpacks = info->Scale == 1 && std::uint64_t(info->Width) * std::uint64_t(info->Height) == alphaLength;
  return unpacks ? alphaLength : 0;
}

bool UnpackBitmap32Into(std::span<const std::uint8_t> packed, TBitmap32& bitmap) {
  auto result = UnpackBitmap32(packed);
  if (!result) return false;
  bitmap = std::move(*result);
  return true;
}

std::optional<TJpegImage> JpegFromStreamSlice(ByteReader& reader, std::size_t length) {
  const auto bytes = reader.Bytes(length);
  if (!reader.ok()) return std::nullopt;
  return TJpegImage::FromBytes({bytes.begin(), bytes.end()});
}

std::optional<TJpegImage> JpegFromEncodedString(std::string_view data) {
  // The downloaded text may carry a line end after the picture; a decoder stops
  // at the end-of-image marker, so it does no harm.
  const auto bytes = AsBytes(data);
  return TJpegImage::FromBytes({bytes.begin(), bytes.end()});
}

std::optional<std::vector<std::uint8_t>> PackedPictureToBmpStream(std::span<const std::uint8_t> packed) {
  auto bitmap = UnpackBitmap32(packed);
  if (!bitmap) return std::nullopt;
  return EncodeBmp32(*bitmap);
}

std::optional<TJpegImage> PackedStringToJpegPreview(std::string_view data, int width, int height) {
  auto bitmap = UnpackBitmap32(AsBytes(data));
  if (!bitmap) return std::nullopt;
  return MakeJpegPreview(*bitmap, width, height, Color32(255, 255, 255));
}
