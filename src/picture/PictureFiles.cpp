#include "picture/PictureFiles.h"

#include "picture/Jpeg.h"
#include "picture/Lead.h"
#include "picture/PackedPicture.h"
#include "picture/PsdFile.h"
#include "platform/FileIO.h"
#include "platform/Text.h"

TFileResult<TBitmap32> LoadPictureFile(const std::filesystem::path& fileName) {
  const std::string ext = LowerAscii(fileName.extension().string());
  if (ext == ".psd" || ext == ".fcc" || ext == ".fll") {
    TBitmap32 bitmap;
    if (TFileResult<> loaded = LoadPsdPicture(fileName, bitmap); !loaded) return loaded.Error();
    return bitmap;
  }
  if (ext != ".jpg" && ext != ".jpeg") return ReadImageFile(fileName);
  const auto bytes = ReadFileBytes(fileName);
  if (!bytes) return bytes.Error();
  return DecodeJpeg(*bytes, fileName);
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
