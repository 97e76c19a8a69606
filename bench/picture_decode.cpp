// Decoding a 2048 x 2048 template-like picture from PNG, GIF, TIFF (LZW) and
// WebP (lossy and lossless) bytes in memory into a picture: our readers, which
// decode straight into it, against GraphicsMagick reading the same bytes (its
// whole picture at 8 bytes a pixel, then exported), which the program used before.
#include <benchmark/benchmark.h>

#include <Magick++.h>

#include <string>
#include <vector>

#include "BenchPicture.h"
#include "picture/module/DirectReaders.h"
#include "picture/module/MagickReader.h"

namespace {
constexpr int kSide = 2048;

struct TEncoded {
  const char* name;
  std::vector<std::uint8_t> bytes;
};

std::vector<TEncoded> Encode() {
  Magick::InitializeMagick(nullptr);
  const TBitmap32 picture = TemplateLikePicture(kSide);
  std::vector<TEncoded> files;
  struct Format {
    const char* name;
    const char* magick;
    const char* define;  // "" or "key=value" for the coder
  } formats[] = {{"png", "PNG", ""},         {"gif", "GIF", ""},
                 {"tiff_lzw", "TIFF", ""},   {"webp_lossy", "WEBP", ""},
                 {"webp_lossless", "WEBP", "lossless=true"}};
  for (const Format& f : formats) {
    Magick::Image image(kSide, kSide, "BGRA", Magick::CharPixel, picture.Bits());
    image.magick(f.magick);
    if (std::string(f.magick) == "TIFF") image.compressType(Magick::LZWCompression);
    if (*f.define) image.defineValue("webp", "lossless", "true");
    Magick::Blob blob;
    image.write(&blob);
    const auto* data = static_cast<const std::uint8_t*>(blob.data());
    files.push_back({f.name, std::vector<std::uint8_t>(data, data + blob.length())});
  }
  return files;
}

const std::vector<TEncoded>& Files() {
  static const std::vector<TEncoded> files = Encode();
  return files;
}

IImagingModule::TAccept AcceptAll() {
  return [](std::size_t, std::size_t, const std::string&) { return true; };
}
IImagingModule::TTarget Into(TBitmap32& picture) {
  return [&picture](std::size_t w, std::size_t h) -> std::uint8_t* {
    return picture.SetSize(int(w), int(h)) ? picture.Bits() : nullptr;
  };
}

void Decode(benchmark::State& state, std::size_t file, bool ours) {
  const TEncoded& encoded = Files()[file];
  for (auto _ : state) {
    TBitmap32 picture;
    std::string error;
    bool ok = false;
    if (ours) {
      const TDirectResult read = ReadDirect(encoded.bytes, AcceptAll(), Into(picture));
      ok = read && *read == TDirectRead::kRead;
      if (!read) error = read.Error().Detail;
    } else {
      const TFileResult<TPictureRead> read = ReadWithMagick(encoded.bytes, "", AcceptAll(), Into(picture));
      ok = read && *read == TPictureRead::kRead;
      if (!read) error = read.Error().Detail;
    }
    if (!ok || picture.Width() != kSide) {
      state.SkipWithError((std::string(encoded.name) + " did not decode: " + error).c_str());
      return;
    }
    benchmark::DoNotOptimize(picture.Bits());
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(kSide) * kSide * 4);
}

[[maybe_unused]] const bool registered = [] {
  for (std::size_t i = 0; i < Files().size(); ++i) {
    const std::string name = Files()[i].name;
    benchmark::RegisterBenchmark(("Decode/" + name + "/ours").c_str(), Decode, i, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("Decode/" + name + "/graphicsmagick").c_str(), Decode, i, false)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();
}  // namespace
