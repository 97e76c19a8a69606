#pragma once
// Photoshop files: the reader of the merged image (8 bits a channel, RGB or
// multichannel, raw or PackBits) and the writer (4 channels R, G, B, A, raw), and
// LoadPsdPicture, which also reads the compressed ".fcc" and the packed ".fll"
// pictures.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "picture/Bitmap32.h"
#include "platform/FileResult.h"

inline constexpr const char* kInvalidPsdFormat = "Invalid PSD format";

// Parses a Photoshop file held in memory into `bitmap` (32 bits, the file's size).
// Channel planes 0..3 go to red, green, blue and alpha (a file needs at least
// one); further planes are skipped; planes the file does not have leave 0 (a
// three-channel file loads with alpha 0). Fails with Damaged (kInvalidPsdFormat)
// for a wrong signature, version, channel count, depth, colour mode or
// compression, and for data that ends early; TooLarge, naming the size, for a
// picture beyond the size caps. The error names `path`, the file the bytes came
// from. `bitmap` is changed only on success.
TFileResult<> ReadPsdImage(std::span<const std::uint8_t> data, TBitmap32& bitmap,
                           const std::filesystem::path& path = {});

// Fills `bitmap` from a ".psd", ".fcc" (zlib stream of a Photoshop file) or ".fll"
// (packed picture) file. When `fileName` does not exist, the same name with the
// extension ".psd", then ".fcc", then ".fll" is tried. Fails with NoSuchFile when
// none is found, CannotRead when it cannot be read, Damaged when its content is
// not a valid picture (a ".fcc" or ".fll" that does not decompress included) and
// TooLarge for a picture above the size caps; `bitmap` is changed only on success.
TFileResult<> LoadPsdPicture(const std::filesystem::path& fileName, TBitmap32& bitmap);

// The bitmap as a Photoshop file: 4 channels, 8 bits, RGB, empty colour-mode,
// resource and layer sections, raw planes R, G, B, A.
std::vector<std::uint8_t> BitmapToPsdStream(const TBitmap32& bitmap);
// Writes BitmapToPsdStream atomically; on failure the old file is kept.
TFileResult<> SavePsdFile(const TBitmap32& bitmap, const std::filesystem::path& fileName);

// Converts a packed picture file into a Photoshop file; fails when the source is
// missing or invalid or the destination cannot be written.
TFileResult<> PackedPictureFileToPsd(const std::filesystem::path& source, const std::filesystem::path& dest);
// Downloaded packed bytes written as a Photoshop file; fails as above.
TFileResult<> PackedStringToPsdFile(std::string_view data, const std::filesystem::path& dest);
