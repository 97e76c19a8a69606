// Saving a 2048 x 2048 template-like picture at 24 bits in BMP, TGA, PCX, PNG and
// TIFF: our writers, row by row from the picture, against GraphicsMagick writing
// the same picture (its whole picture at 8 bytes a pixel, then the whole file),
// which the program used before. The bytes are counted, not kept, for both.
#include <benchmark/benchmark.h>

#include <Magick++.h>

#include <string>

#include "BenchPicture.h"
#include "picture/Lead.h"
#include "picture/PlainFormats.h"
#include "picture/module/DirectWriters.h"
#include "picture/module/MagickReader.h"

namespace {
constexpr int kSide = 2048;

const TBitmap32& Picture() {
  static const TBitmap32 picture = TemplateLikePicture(kSide);
  return picture;
}

class TCountingWriter final : public TFileWriter {
 public:
  bool Append(std::span<const std::uint8_t> part) override {
    size += part.size();
    return true;
  }
  bool Overwrite(std::uint64_t, std::span<const std::uint8_t>) override { return true; }
  std::size_t size = 0;
};

bool WriteOurs(int format, TFileWriter& file) {
  const TBitmap32& p = Picture();
  switch (format) {
    case kLeadBmp: return WriteBmp(p, 24, kSavedBmpPixelsPerMetre, file);
    case kLeadTga: return WriteTga24(p, file);
    case kLeadPcx: return WritePcx24(p, file);
    case kLeadPng: return WritePng24(p.Bits(), kSide, kSide, file);
    default: return WriteTiff24(p.Bits(), kSide, kSide, file);
  }
}

void Encode(benchmark::State& state, int format, bool ours) {
  Magick::InitializeMagick(nullptr);
  std::size_t size = 0;
  for (auto _ : state) {
    TCountingWriter file;
    const bool ok = ours ? WriteOurs(format, file) : WriteWithMagick(Picture().Bits(), kSide, kSide, format, 90, file);
    if (!ok) {
      state.SkipWithError("did not encode");
      return;
    }
    size = file.size;
  }
  state.counters["file_bytes"] = double(size);
  state.SetBytesProcessed(state.iterations() * std::int64_t(kSide) * kSide * 4);
}

[[maybe_unused]] const bool registered = [] {
  const struct {
    const char* name;
    int format;
  } formats[] = {{"bmp", kLeadBmp}, {"tga", kLeadTga}, {"pcx", kLeadPcx}, {"png", kLeadPng}, {"tiff_lzw", kLeadTiff}};
  for (const auto& f : formats) {
    const std::string name = std::string("Encode/") + f.name;
    benchmark::RegisterBenchmark((name + "/ours").c_str(), Encode, f.format, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "/graphicsmagick").c_str(), Encode, f.format, false)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();
}  // namespace
