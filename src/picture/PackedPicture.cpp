#include "picture/PackedPicture.h"

#include "picture/BitmapRoutines.h"
#include "picture/Bmp32.h"
#include "picture/Compression.h"
#include "picture/PsdFile.h"
#include "platform/FileIO.h"

std::vector<std::uint8_t> PackBitmap32(const TBitmap32& bitmap, int quality) {
  const std::vector<std::uint8_t> jpeg = EncodeJpeg(bitmap, quality);
  const std::size_t pixels = std::size_t(bitmap.Width()) * std::size_t(bitmap.Height());
  ByteWriter w;
  w.Data().reserve(8 + jpeg.size() + pixels);
  w.U32LE(static_cast<std::uint32_t>(jpeg.size()));
  w.U32LE(static_cast<std::uint32_t>(pixels));
  w.Bytes(jpeg);
  const std::uint8_t* in = bitmap.Bits();
  for (std::size_t i = 0; i < pixels; ++i) w.U8(in[4 * i + 3]);
  return CompressStream(w.Data());
}

std::optional<TBitmap32> JpegAlphaToBitmap(ByteReader& reader, std::uint32_t jpegLength, std::uint32_t alphaLength) {
  const auto jpeg = reader.Bytes(jpegLength);
  const auto alpha = reader.Bytes(alphaLength);
  if (!reader.ok()) return std::nullopt;
  // The header first: the alpha bytes must cover the picture exactly, which also
  // bounds what decoding may allocate by the size of the data.
  const auto info = ReadJpegInfo(jpeg);
  if (!info || std::size_t(info->Width) * std::size_t(info->Height) != alpha.size()) return std::nullopt;
  auto bitmap = DecodeJpeg(jpeg);
  if (!bitmap) return std::nullopt;
  std::uint8_t* out = bitmap->Bits();
  for (std::size_t i = 0; i < alpha.size(); ++i) out[4 * i + 3] = alpha[i];
  return bitmap;
}

std::optional<TBitmap32> UnpackBitmap32(std::span<const std::uint8_t> packed) {
  const auto record = DecompressStream(packed);
  if (!record) return std::nullopt;
  ByteReader r(*record);
  const std::uint32_t jpegLength = r.U32LE();
  const std::uint32_t alphaLength = r.U32LE();
  if (!r.ok()) return std::nullopt;
  return JpegAlphaToBitmap(r, jpegLength, alphaLength);
}

std::optional<std::uint64_t> PackedPicturePixels(std::span<const std::uint8_t> packed) {
  const auto lengths = DecompressPrefix(packed, 8);
  if (!lengths) return std::nullopt;
  ByteReader r(*lengths);
  r.U32LE();
  return r.U32LE();
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

bool PackedPictureFileToPsd(const std::filesystem::path& source, const std::filesystem::path& dest) {
  const auto bytes = ReadFileBytes(source, kMaxDecompressedSize);
  if (!bytes) return false;
  auto bitmap = UnpackBitmap32(*bytes);
  return bitmap && SavePsdFile(*bitmap, dest);
}

bool PackedStringToPsdFile(std::string_view data, const std::filesystem::path& dest) {
  auto bitmap = UnpackBitmap32(AsBytes(data));
  return bitmap && SavePsdFile(*bitmap, dest);
}

std::optional<TJpegImage> PackedStringToJpegPreview(std::string_view data, int width, int height) {
  auto bitmap = UnpackBitmap32(AsBytes(data));
  if (!bitmap) return std::nullopt;
  return MakeJpegPreview(*bitmap, width, height, Color32(255, 255, 255));
}
