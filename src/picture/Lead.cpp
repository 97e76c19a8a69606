#include "picture/Lead.h"

#include <Magick++.h>

#include <mutex>

#include "picture/BitmapRoutines.h"
#include "picture/Compression.h"
#include "picture/Jpeg.h"
#include "picture/PictureLimits.h"
#include "picture/PsdFile.h"
#include "platform/FileIO.h"
#include "platform/Text.h"

namespace {
void EnsureMagick() {
  static std::once_flag once;
  std::call_once(once, [] { Magick::InitializeMagick(nullptr); });
}

// The GraphicsMagick coder for an extension ("" when it has none it can read).
std::string ReadableCoder(const std::string& upperExt) {
  EnsureMagick();
  try {
    Magick::CoderInfo info(upperExt);
    return info.isReadable() ? upperExt : std::string();
  } catch (const Magick::Exception&) {
    return {};
  }
}

TBitmap32 ReadWithMagick(const std::vector<std::uint8_t>& bytes, const std::string& coder) {
  EnsureMagick();
  Magick::Blob blob(bytes.data(), bytes.size());
  Magick::Image image;
  if (!coder.empty()) image.magick(coder);
  // Only the first frame is pinged and read: a later one cannot bring a size
  // the check below has not seen.
  image.subRange(1);
  // Warnings (a damaged tail, an unknown tag) still leave a picture; errors throw.
  try {
    image.ping(blob);
  } catch (const Magick::Warning&) {
  }
  // A picture whose head claims more than we take is refused before decoding; a
  // JPEG photo (under any name) decodes smaller instead.
  if (!PictureSizeAccepted(image.columns(), image.rows())) {
    if (image.magick() == "JPEG")
      if (std::optional<TBitmap32> scaled = DecodeJpeg(bytes)) return std::move(*scaled);
    throw EPictureTooLarge(PictureTooLargeText(image.columns(), image.rows()));
  }
  try {
    image.read(blob);
  } catch (const Magick::Warning&) {
  }
  TBitmap32 bitmap;
  if (image.columns() == 0 || image.rows() == 0 ||
      !bitmap.SetSize(static_cast<int>(image.columns()), static_cast<int>(image.rows())))
    throw ELeadError("The picture is empty or too large");
  // CMYK and other spaces export their own channels: bring them to RGB first.
  if (image.colorSpace() != Magick::RGBColorspace) image.colorSpace(Magick::RGBColorspace);
  image.write(0, 0, image.columns(), image.rows(), "BGRA", Magick::CharPixel, bitmap.Bits());
  return bitmap;
}

struct TSaveFormat {
  int code;
  const char* coder;
  Magick::CompressionType compression;
};
constexpr TSaveFormat kSaveFormats[] = {
    {kLeadBmp, "BMP", Magick::NoCompression},   {kLeadJpeg, "JPEG", Magick::JPEGCompression},
    {kLeadTiff, "TIFF", Magick::LZWCompression}, {kLeadPcx, "PCX", Magick::RLECompression},
    {kLeadTga, "TGA", Magick::NoCompression},   {kLeadPng, "PNG", Magick::ZipCompression},
};
}  // namespace

TBitmap32 ReadImageFile(const std::filesystem::path& fileName) {
  auto bytes = ReadFileBytes(fileName, kMaxDecompressedSize);
  if (!bytes) throw ELeadError("Cannot open file \"" + fileName.string() + "\"");
  std::string ext = fileName.extension().string();
  if (!ext.empty()) ext.erase(0, 1);
  const std::string upper = UpperAscii(ext);
  TBitmap32 bitmap;
  try {
    if (upper == "PSD") {
      ReadPsdImage(*bytes, bitmap);
    } else {
      const std::string coder = upper.empty() ? std::string() : ReadableCoder(upper);
      if (!upper.empty() && coder.empty())
        throw ELeadError("Pictures of type \"." + ext + "\" cannot be read: " + fileName.string());
      bitmap = ReadWithMagick(*bytes, coder);
    }
  } catch (const EPictureTooLarge&) {
    throw;
  } catch (const EInvalidGraphic& e) {
    throw ELeadError(std::string(e.what()) + ": " + fileName.string());
  } catch (const Magick::Exception& e) {
    throw ELeadError("Cannot read picture " + fileName.string() + ": " + e.what());
  }
  SetAlpha(bitmap, 255);
  return bitmap;
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

int LoadImageToBitmap(TBitmap32& bitmap, const std::filesystem::path& fileName, std::string* error) {
  try {
    bitmap = ReadImageFile(fileName);
    return kLeadSuccess;
  } catch (const std::exception& e) {  // ELeadError, and allocation failures
    bitmap.Reset();
    if (error) *error = e.what();
    return kLeadFailure;
  }
}

bool SaveImageFile(const TBitmap32& bitmap, const std::filesystem::path& fileName, int format, int qualityFactor) {
  if (bitmap.Empty()) return false;
  TBitmap32 opaque = bitmap;
  SetAlpha(opaque, 255);
  if (format == kLeadPsd) return SavePsdFile(opaque, fileName);
  const TSaveFormat* chosen = nullptr;
  for (const auto& f : kSaveFormats)
    if (f.code == format) chosen = &f;
  if (!chosen) return false;
  try {
    EnsureMagick();
    Magick::Image image(opaque.Width(), opaque.Height(), "BGRA", Magick::CharPixel, opaque.Bits());
    // 24 bits: no alpha channel, 8 bits a channel, and the compression set for
    // every format (it would otherwise carry over from an earlier picture).
    image.matte(false);
    image.type(Magick::TrueColorType);
    image.depth(8);
    image.magick(chosen->coder);
    image.compressType(chosen->compression);
    if (format == kLeadJpeg) image.quality(static_cast<unsigned>(QualityFromFactor(qualityFactor)));
    Magick::Blob blob;
    image.write(&blob);
    return WriteFileAtomic(fileName, {static_cast<const std::uint8_t*>(blob.data()), blob.length()});
  } catch (const Magick::Exception&) {
    return false;
  }
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

void TLead::LoadFromFile(const std::filesystem::path& fileName) { bitmap_ = ReadImageFile(fileName); }

bool TLead::SaveToFile(const std::filesystem::path& fileName) const {
  return SaveImageFile(bitmap_, fileName, kLeadBmp);
}

bool TLead::SaveToFile(const std::filesystem::path& fileName, int format, int qualityFactor) const {
  return SaveImageFile(bitmap_, fileName, format, qualityFactor);
}
