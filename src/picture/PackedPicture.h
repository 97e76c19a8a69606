#pragma once
// The packed picture (".fll" files, layer pictures of compressed works, archive
// entries of type 1): one zlib stream of
//   JPEG length J (32-bit little-endian), alpha length A (little-endian, = w * h),
//   J bytes of JFIF (the colour), A alpha bytes (rows top to bottom).
// Also the conversions that the element download makes from it (to Photoshop
// files: PsdFile.h).
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "picture/Bitmap32.h"
#include "picture/Jpeg.h"
#include "platform/ByteStream.h"

// The packed picture of `bitmap`, colour at JPEG `quality` (the program uses 90).
std::vector<std::uint8_t> PackBitmap32(const TBitmap32& bitmap, int quality);

// The picture a packed stream holds: colour from the JPEG, alpha from the alpha
// bytes. Damaged when the stream does not decompress, a length does not match the
// data, the JPEG does not decode, or the alpha length is not width * height;
// TooLarge above kBombPixels. The finding, in words for a user, is the error's
// Detail (empty where the stream's inflater gave none); `file` names the bytes'
// file in it.
TFileResult<TBitmap32> UnpackBitmap32(std::span<const std::uint8_t> packed, const std::filesystem::path& file = {});
// The same into `bitmap`; false and `bitmap` unchanged on failure.
bool UnpackBitmap32Into(std::span<const std::uint8_t> packed, TBitmap32& bitmap);

// The pixels a packed picture holds, from its alpha length (a picture whose size
// differs does not unpack): what unpacking it may allocate, known after inflating
// its head and the start of its JPEG. 0 when that start shows it does not unpack
// (no JPEG, or one of another size); nullopt when the stream does not start as one.
std::optional<std::uint64_t> PackedPicturePixels(std::span<const std::uint8_t> packed);

// Reads `jpegLength` bytes of JPEG and then `alphaLength` alpha bytes from the
// reader's position (uncompressed data) and builds the picture; nullopt as above.
std::optional<TBitmap32> JpegAlphaToBitmap(ByteReader& reader, std::uint32_t jpegLength,
                                           std::uint32_t alphaLength);
// `length` bytes from the reader's position as a JPEG picture; nullopt when they
// are missing or hold no JPEG header.
std::optional<TJpegImage> JpegFromStreamSlice(ByteReader& reader, std::size_t length);
// Downloaded bytes of a JPEG (the gallery's pictures) as a JPEG picture.
std::optional<TJpegImage> JpegFromEncodedString(std::string_view data);

// The packed picture as a Windows bitmap file of 32 bits a pixel (alpha kept).
std::optional<std::vector<std::uint8_t>> PackedPictureToBmpStream(std::span<const std::uint8_t> packed);
// Downloaded packed bytes fitted into a width x height JPEG preview on white
// (MakeJpegPreview); nullopt when they do not unpack.
std::optional<TJpegImage> PackedStringToJpegPreview(std::string_view data, int width, int height);
