#pragma once
// JPEG pictures on libjpeg-turbo: JFIF files kept as their bytes, encoded from and
// decoded to TBitmap32. JPEG has no alpha: encoding drops byte 3, decoding gives
// alpha 255.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "picture/Bitmap32.h"
#include "platform/FileResult.h"

// Size and colour components from a JPEG header, without decoding the picture.
struct TJpegInfo {
  int Width = 0;  // as the header gives them
  int Height = 0;
  int Components = 0;
  // A picture above kBombPixels decodes at 1/Scale of its size (2, 4 or 8: the
  // largest DCT scale within the picture caps); any other at its size, Scale 1.
  int Scale = 1;
  int DecodedWidth = 0;
  int DecodedHeight = 0;
};
// nullopt when the data does not start with a readable JPEG header, its colour
// space is not one we decode, or even an eighth of its size is beyond the caps.
std::optional<TJpegInfo> ReadJpegInfo(std::span<const std::uint8_t> data);

// How a JPEG file keeps colour: chroma at half the size each way (4:2:0, small
// files for pictures we store), or at full size and 72 dots an inch as picture
// saving writes them for other programs (4:4:4).
enum class TJpegChroma { kHalved, kFull };
// The colour of `bitmap` as a baseline JFIF file at IJG quality 1..100 (clamped).
// Empty for an empty bitmap.
std::vector<std::uint8_t> EncodeJpeg(const TBitmap32& bitmap, int quality, TJpegChroma chroma = TJpegChroma::kHalved);
// Decodes a greyscale or colour JPEG (bytes after the end of the picture are
// ignored) at the size ReadJpegInfo gives as decoded. Damaged ("Invalid JPEG
// picture") for data that is not a JPEG, is damaged or uses CMYK; TooLarge,
// naming the picture's size, when it needs more working memory than the decode
// budget leaves beside the picture. (A progressive picture keeps every
// coefficient of its full size while it decodes, two bytes a sample, however
// small the scale it decodes at: a file of a hundred bytes may claim gigabytes
// of them.) `file` names the bytes' file in the error.
TFileResult<TBitmap32> DecodeJpeg(std::span<const std::uint8_t> data, const std::filesystem::path& file = {});

// The imaging library's quality factor (2 best .. 255 smallest) as IJG quality;
// the factor 16 that picture saving uses is quality 90.
int QualityFromFactor(int factor);

// A JPEG picture: the file's bytes with the size from its header.
class TJpegImage {
 public:
  TJpegImage() = default;
  // The bytes when they hold a readable JPEG header, else nullopt.
  static std::optional<TJpegImage> FromBytes(std::vector<std::uint8_t> data);
  // `bitmap` compressed at `quality`; an empty picture for an empty bitmap.
  static TJpegImage FromBitmap(const TBitmap32& bitmap, int quality);

  bool Empty() const { return data_.empty(); }
  // The size the header gives (a bomb decodes smaller, see TJpegInfo).
  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::vector<std::uint8_t>& Bytes() const { return data_; }
  // The decoded picture (alpha 255), or why the data does not decode.
  TFileResult<TBitmap32> ToBitmap() const { return DecodeJpeg(data_); }
  // Writes the file atomically.
  TFileResult<> SaveToFile(const std::filesystem::path& path) const;

 private:
  std::vector<std::uint8_t> data_;
  int width_ = 0;
  int height_ = 0;
};
