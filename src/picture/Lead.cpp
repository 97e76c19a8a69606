#include "picture/Lead.h"

#include "picture/BitmapRoutines.h"
#include "picture/Compression.h"
#include "picture/ImagingModule.h"
#include "picture/Jpeg.h"
#include "picture/PictureLimits.h"
#include "picture/PlainFormats.h"
#include "picture/PsdFile.h"
#include "platform/FileIO.h"
#include "platform/Module.h"
#include "platform/Text.h"

namespace {
// The imaging module, or why it did not load, as `cause` of `file`.
TFileResult<IImagingModule*> Imaging(TFileFault cause, const std::filesystem::path& file) {
  return LoadFileModule("imaging", tressary_module_imaging, cause, file);
}

TFileResult<TBitmap32> ReadWithImaging(IImagingModule& imaging, const std::vector<std::uint8_t>& bytes,
                                       const std::string& coder, const std::filesystem::path& fileName) {
  // A JPEG under any name decodes straight into the picture; CMYK and what our
  // decoder cannot read go to the library.
  if (bytes.size() > 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
    TFileResult<TBitmap32> decoded = DecodeJpeg(bytes, fileName);
    if (decoded || decoded.Error().Cause == TFileFault::TooLarge) return decoded;
  }
  std::optional<TBitmap32> scaled;
  std::string tooLarge;
  auto accept = [&](std::size_t width, std::size_t height, const std::string& format) {
    if (PictureSizeAccepted(width, height)) return true;
    // A picture whose head claims more than we take is refused before decoding;
    // a JPEG photo (under any name) decodes smaller instead.
    if (format == "JPEG")
      if (TFileResult<TBitmap32> decoded = DecodeJpeg(bytes)) scaled = *std::move(decoded);
    if (!scaled) tooLarge = PictureTooLargeText(width, height);
    return false;
  };
  TBitmap32 bitmap;
  auto target = [&](std::size_t width, std::size_t height) -> std::uint8_t* {
    if (width == 0 || height == 0 || !PictureSizeAccepted(width, height) ||
        !bitmap.SetSize(static_cast<int>(width), static_cast<int>(height)))
      return nullptr;
    return bitmap.Bits();
  };
  const TFileResult<TPictureRead> read = imaging.Read(bytes, coder, accept, target);
  if (read && *read == TPictureRead::kRead) return bitmap;
  if (scaled) return std::move(*scaled);
  if (!tooLarge.empty()) return FileError(TFileFault::TooLarge, fileName, 0, tooLarge);
  // The module's error is the library's finding without the file.
  if (!read && !read.Error().Detail.empty()) return FileError(TFileFault::Damaged, fileName, 0, read.Error().Detail);
  return FileError(TFileFault::Empty, fileName, 0, "the picture is empty or too large");
}

TFileResult<TBitmap32> ReadAnyImage(const std::filesystem::path& fileName) {
  auto bytes = ReadFileBytes(fileName, kMaxDecompressedSize);
  if (!bytes) return bytes.Error();
  std::string ext = fileName.extension().string();
  if (!ext.empty()) ext.erase(0, 1);
  const std::string upper = UpperAscii(ext);
  if (upper == "PSD") {
    TBitmap32 bitmap;
    if (TFileResult<> read = ReadPsdImage(*bytes, bitmap, fileName); !read) return read.Error();
    return bitmap;
  }
  const TFileResult<IImagingModule*> imaging = Imaging(TFileFault::UnknownType, fileName);
  if (!imaging) return imaging.Error();
  const std::string coder = upper.empty() ? std::string() : (*imaging)->ReadableCoder(upper);
  if (!upper.empty() && coder.empty()) return FileError(TFileFault::UnknownType, fileName);
  return ReadWithImaging(**imaging, *bytes, coder, fileName);
}
}  // namespace

TFileResult<TBitmap32> ReadImageFile(const std::filesystem::path& fileName) {
  try {
    TFileResult<TBitmap32> read = ReadAnyImage(fileName);
    if (read) SetAlpha(*read, 255);
    return read;
  } catch (const std::bad_alloc&) {
    return FileError(TFileFault::CannotRead, fileName, ENOMEM);
  }
}

const std::vector<TLeadFormat>& LeadFormats() {
  static const std::vector<TLeadFormat> formats = {
      {"pcx", "PCX image"}, {"gif", "GIF image"}, {"tga", "TARGA image"}, {"png", "PNG image"},
      {"psd", "Photoshop image"}, {"eps", "EPS image"}, {"tif", "TIFF image"}, {"jpg", "JPEG image"},
      {"cmp", "Lead image"}, {"mac", "MAC image"}, {"pct", "PCT image"}, {"pcd", "PCD image"},
      {"img", "IMG image"}};
  return formats;
}

int LeadFormatForExtension(std::string_view extension) {
  const std::string ext = UpperAscii(extension);
  if (ext == ".JPG") return kLeadJpeg;
  if (ext == ".PSD") return kLeadPsd;
  if (ext == ".TIF") return kLeadTiff;
  if (ext == ".PCX") return kLeadPcx;
  if (ext == ".TGA") return kLeadTga;
  if (ext == ".PNG") return kLeadPng;
  return kLeadBmp;
}

TFileResult<> SaveImageFile(const TBitmap32& bitmap, const std::filesystem::path& fileName, int format,
                            int qualityFactor) {
  if (bitmap.Empty()) return FileError(TFileFault::Empty, fileName);
  // JPEG has no alpha to drop; our library encodes it row by row.
  if (format == kLeadJpeg) {
    const std::vector<std::uint8_t> file = EncodeJpeg(bitmap, QualityFromFactor(qualityFactor), TJpegChroma::kFull);
    if (file.empty()) return FileError(TFileFault::CannotWrite, fileName);
    return WriteFileAtomic(fileName, file);
  }
  // The writers drop the alpha byte themselves: no opaque copy.
  if (format == kLeadBmp) return WriteFileAtomic(fileName, [&](TFileWriter& file) {
    return WriteBmp(bitmap, 24, kSavedBmpPixelsPerMetre, file);
  });
  if (format == kLeadTga) return WriteFileAtomic(fileName, [&](TFileWriter& file) { return WriteTga24(bitmap, file); });
  if (format == kLeadPcx) return WriteFileAtomic(fileName, [&](TFileWriter& file) { return WritePcx24(bitmap, file); });
  if (format == kLeadPsd) {
    TBitmap32 opaque = bitmap.Share();
    if (!AlphaIs(opaque, 255)) SetAlpha(opaque, 255);
    return SavePsdFile(opaque, fileName);
  }
  if (format != kLeadPng && format != kLeadTiff) return FileError(TFileFault::CannotWrite, fileName);
  const TFileResult<IImagingModule*> imaging = Imaging(TFileFault::CannotWrite, fileName);
  if (!imaging) return imaging.Error();
  return WriteFileAtomic(fileName, [&](TFileWriter& file) {
    return (*imaging)->Write(bitmap.Bits(), bitmap.Width(), bitmap.Height(), format, QualityFromFactor(qualityFactor),
                          file);
  });
}

void TLead::Assign(const TLead* source) {
  if (source == nullptr) bitmap_.Reset();
  else if (source != this) bitmap_ = source->bitmap_;
}

void TLead::Assign(const TBitmap32& picture) {
  bitmap_ = picture;
  SetAlpha(bitmap_, 255);
}

void TLead::SetWidth(int width) { Resize(width, Height()); }
void TLead::SetHeight(int height) { Resize(Width(), height); }

void TLead::Resize(int width, int height) {
  if (width == Width() && height == Height()) return;
  TBitmap32 resized;
  if (!resized.SetSize(std::max(width, 0), std::max(height, 0), Color32(0, 0, 0))) return;
  StretchDrawBilinear(resized, {0, 0, resized.Width(), resized.Height()}, bitmap_);
  bitmap_ = std::move(resized);
}

void TLead::Draw(TBitmap32& canvas, const TRect& rect) const {
  if (rect.Width() == Width() && rect.Height() == Height()) DrawBitmap(canvas, rect.Left, rect.Top, bitmap_);
  else StretchDrawBilinear(canvas, rect, bitmap_);
}

TFileResult<> TLead::LoadFromFile(const std::filesystem::path& fileName) {
  TFileResult<TBitmap32> read = ReadImageFile(fileName);
  if (!read) return read.Error();
  bitmap_ = *std::move(read);
  return {};
}

TFileResult<> TLead::SaveToFile(const std::filesystem::path& fileName) const {
  return SaveImageFile(bitmap_, fileName, kLeadBmp);
}

TFileResult<> TLead::SaveToFile(const std::filesystem::path& fileName, int format, int qualityFactor) const {
  return SaveImageFile(bitmap_, fileName, format, qualityFactor);
}
