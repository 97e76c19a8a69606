// The module "imaging": GraphicsMagick.
#include <Magick++.h>

#include "picture/ImagingModule.h"
#include "picture/Lead.h"
#include "picture/module/DirectReaders.h"
#include "picture/module/DirectWriters.h"
#include "picture/module/MagickReader.h"

namespace {

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

// The library aborts when used before it is initialised.
void InitializeOnce() {
  static const bool initialised = (Magick::InitializeMagick(nullptr), true);
  (void)initialised;
}

class TMagick final : public IImagingModule {
 public:
  TMagick() { InitializeOnce(); }

  std::string ReadableCoder(const std::string& upperExt) override {
    try {
      Magick::CoderInfo info(upperExt);
      return info.isReadable() ? upperExt : std::string();
    } catch (const Magick::Exception&) {
      return {};
    }
  }

  TFileResult<TPictureRead> Read(std::span<const std::uint8_t> bytes, const std::string& coder, const TAccept& accept,
                                 const TTarget& target) override {
    const TFileResult<TDirectRead> direct = ReadDirect(bytes, accept, target);
    if (!direct) return direct.Error();
    switch (*direct) {
      case TDirectRead::kRead: return TPictureRead::kRead;
      case TDirectRead::kStopped: return TPictureRead::kStopped;
      case TDirectRead::kNotMine: break;
    }
    return ReadWithMagick(bytes, coder, accept, target);
  }

  bool Write(const std::uint8_t* bgra, int width, int height, int format, int quality, TFileWriter& file) override {
    if (format == kLeadPng) return WritePng24(bgra, width, height, file);
    if (format == kLeadTiff) return WriteTiff24(bgra, width, height, file);
    return WriteWithMagick(bgra, width, height, format, quality, file);
  }
};

}  // namespace

TFileResult<TPictureRead> ReadWithMagick(std::span<const std::uint8_t> bytes, const std::string& coder,
                                         const IImagingModule::TAccept& accept, const IImagingModule::TTarget& target) {
  InitializeOnce();
  try {
    Magick::Blob blob(bytes.data(), bytes.size());
    Magick::Image image;
    if (!coder.empty()) image.magick(coder);
    // Only the first frame is pinged and read: a later one cannot bring a size
    // the caller has not seen.
    image.subRange(1);
    // Warnings (a damaged tail, an unknown tag) still leave a picture; errors throw.
    try {
      image.ping(blob);
    } catch (const Magick::Warning&) {
    }
    // The caller refuses a head that claims more than it takes before decoding.
    if (!accept(image.columns(), image.rows(), image.magick())) return TPictureRead::kStopped;
    try {
      image.read(blob);
    } catch (const Magick::Warning&) {
    }
    std::uint8_t* rows = target(image.columns(), image.rows());
    if (!rows) return TPictureRead::kStopped;
    // CMYK and other spaces export their own channels: bring them to RGB first.
    if (image.colorSpace() != Magick::RGBColorspace) image.colorSpace(Magick::RGBColorspace);
    image.write(0, 0, image.columns(), image.rows(), "BGRA", Magick::CharPixel, rows);
    return TPictureRead::kRead;
  } catch (const Magick::Exception& e) {
    const std::string words = e.what();
    return PictureDamaged(words.empty() ? "unreadable picture" : words);
  }
}

bool WriteWithMagick(const std::uint8_t* bgra, int width, int height, int format, int quality, TFileWriter& file) {
  const TSaveFormat* chosen = nullptr;
  for (const auto& f : kSaveFormats)
    if (f.code == format) chosen = &f;
  if (!chosen) return false;
  InitializeOnce();
  try {
    Magick::Image image(width, height, "BGRA", Magick::CharPixel, bgra);
    // 24 bits: no alpha channel, 8 bits a channel, and the compression set for
    // every format (it would otherwise carry over from an earlier picture).
    image.matte(false);
    image.type(Magick::TrueColorType);
    image.depth(8);
    image.magick(chosen->coder);
    image.compressType(chosen->compression);
    if (format == kLeadJpeg) image.quality(static_cast<unsigned>(quality));
    Magick::Blob blob;
    image.write(&blob);
    return file.Append({static_cast<const std::uint8_t*>(blob.data()), blob.length()});
  } catch (const Magick::Exception&) {
    return false;
  }
}

extern "C" [[gnu::visibility("default")]] IImagingModule* tressary_module_imaging() {
  // The module's one instance, alive as long as the module stays loaded.
  static TMagick magick;
  return &magick;
}
