#pragma once
// The picture class over the imaging library: GraphicsMagick reads every raster
// format it knows (PCX, GIF, TGA, TIFF, PNG, PICT, PCD, MacPaint, WebP ...), the
// common ones (JPEG, PNG, GIF, TIFF, WebP) through our readers straight into the
// picture. Saving is ours, row by row from the picture at 24 bits: BMP, TGA and
// PCX here, PNG and TIFF through libpng and libtiff in the imaging module, JPEG
// by libjpeg-turbo, Photoshop files by our own writer. Pictures held here are
// opaque (alpha 255), as a 24-bit picture is.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "picture/Bitmap32.h"
#include "platform/FileResult.h"
#include "platform/Geometry.h"

// The extensions registered for the picture class, in registration order, with
// their descriptions ("pcx" "PCX image" ... "img" "IMG image").
struct TLeadFormat {
  std::string Extension;
  std::string Description;
};
const std::vector<TLeadFormat>& LeadFormats();

// File format codes of picture saving, and the code for a file name's extension
// (compared upper-cased; any other extension, ".jpeg" included, is a bitmap).
enum TLeadFileFormat {
  kLeadPcx = 1,
  kLeadTiff = 3,
  kLeadTga = 4,
  kLeadBmp = 6,
  kLeadJpeg = 23,
  kLeadPng = 75,
  kLeadPsd = 76,
};
int LeadFormatForExtension(std::string_view extension);
// The quality factor picture saving passes (IJG quality 90).
constexpr int kLeadDefaultQualityFactor = 16;

// The picture in any file the imaging library reads (or a Photoshop file), opaque.
// Fails with TooLarge for a picture above the size we take (naming it),
// UnknownType for an extension no coder reads (or no imaging library), Damaged
// with the library's words, Empty when it gives no picture, or the read's cause.
TFileResult<TBitmap32> ReadImageFile(const std::filesystem::path& fileName);

// Writes `bitmap` (colour only) in file format `format` at 24 bits; JPEG at the
// quality of `qualityFactor`. Atomic: the old file is kept on failure, including
// an unknown format code (CannotWrite without a system cause) and an empty picture.
TFileResult<> SaveImageFile(const TBitmap32& bitmap, const std::filesystem::path& fileName, int format,
                   int qualityFactor = kLeadDefaultQualityFactor);

class TLead {
 public:
  bool Empty() const { return bitmap_.Empty(); }
  int Width() const { return bitmap_.Width(); }
  int Height() const { return bitmap_.Height(); }
  const TBitmap32& Bitmap() const { return bitmap_; }

  // A copy of another picture's content; nullptr empties this one.
  void Assign(const TLead* source);
  // Takes a picture's colour (the alpha becomes 255).
  void Assign(const TBitmap32& picture);
  // Resizes, resampling the content bilinearly; 0 empties the picture.
  void SetWidth(int width);
  void SetHeight(int height);
  // Paints the picture stretched into `rect` of `canvas` (clipped).
  void Draw(TBitmap32& canvas, const TRect& rect) const;

  // Loads the file; the picture is unchanged when it cannot (see ReadImageFile).
  TFileResult<> LoadFromFile(const std::filesystem::path& fileName);
  // Saves as a 24-bit Windows bitmap, whatever the extension.
  TFileResult<> SaveToFile(const std::filesystem::path& fileName) const;
  // Saves in file format `format` (see SaveImageFile).
  TFileResult<> SaveToFile(const std::filesystem::path& fileName, int format,
                  int qualityFactor = kLeadDefaultQualityFactor) const;

 private:
  void Resize(int width, int height);
  TBitmap32 bitmap_;
};
