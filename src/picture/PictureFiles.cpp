#include "picture/PictureFiles.h"

#include "picture/Jpeg.h"
#include "picture/Lead.h"
#include "picture/PackedPicture.h"
#include "picture/PsdFile.h"
#include "platform/FileIO.h"
#include "platform/Text.h"

bool LoadPictureFile(const std::filesystem::path& fileName, TBitmap32& bitmap, std::string& error) {
  const std::string ext = LowerAscii(fileName.extension().string());
  try {
    if (ext == ".psd" || ext == ".fcc" || ext == ".fll") {
      LoadPsdPicture(fileName, bitmap);
      return true;
    }
    if (ext == ".jpg" || ext == ".jpeg") {
      const auto bytes = ReadFileBytes(fileName);
      if (!bytes) throw EFOpenError("Cannot open file \"" + fileName.string() + "\"");
      std::string tooLarge;
      auto decoded = DecodeJpeg(*bytes, &tooLarge);
      if (!decoded && !tooLarge.empty()) throw EPictureTooLarge(tooLarge);
      if (!decoded) throw EInvalidGraphic("Invalid JPEG picture: " + fileName.string());
      bitmap = std::move(*decoded);
      return true;
    }
    TBitmap32 loaded;
    if (LoadImageToBitmap(loaded, fileName, &error) != kLeadSuccess) return false;
    bitmap = std::move(loaded);
    return true;
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
}

TFileResult<> SavePictureFile(const TBitmap32& bitmap, const std::filesystem::path& fileName) {
  const std::string ext = LowerAscii(fileName.extension().string());
  if (ext == ".psd") return SavePsdFile(bitmap, fileName);
  if (ext != ".fll") return SaveImageFile(bitmap, fileName, LeadFormatForExtension(ext));
  if (bitmap.Empty()) return FileError(TFileFault::Empty, fileName);
  return WriteFileAtomic(fileName, PackBitmap32(bitmap, kPackedPictureQuality));
}

TFileResult<> SaveGraphicAsPsd(const TLead& graphic, const std::filesystem::path& fileName) {
  if (graphic.Empty()) return FileError(TFileFault::Empty, fileName);
  return SavePsdFile(graphic.Bitmap(), fileName);
}

TFileResult<> SaveGraphicAsPsd(const TJpegImage& graphic, const std::filesystem::path& fileName) {
  const auto bitmap = graphic.ToBitmap();  // decoded JPEG pixels are opaque
  if (!bitmap) return FileError(graphic.Empty() ? TFileFault::Empty : TFileFault::Damaged, fileName);
  return SavePsdFile(*bitmap, fileName);
}
