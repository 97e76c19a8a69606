// Reading a 2048 x 2048 four-channel Photoshop file, raw and PackBits, with our
// reader, against GraphicsMagick decoding the same picture. Debian's
// GraphicsMagick has no Photoshop coder, so its reference is the same pixels as
// 32-bit TGA, uncompressed and RLE (the nearest formats it decodes), plus the
// export of its pixels into B, G, R, A bytes that our reader delivers too.
#include <benchmark/benchmark.h>

#include <Magick++.h>

#include <vector>

#include "BenchPicture.h"
#include "picture/PsdFile.h"
#include "platform/ByteStream.h"

namespace {
constexpr int kSide = 2048;

// One row of PackBits: repeat runs for equal bytes, literal runs otherwise.
void PackRow(const std::uint8_t* row, int n, ByteWriter& out) {
  int i = 0;
  while (i < n) {
    int run = 1;
    while (i + run < n && run < 128 && row[i + run] == row[i]) ++run;
    if (run >= 2) {
      out.U8(static_cast<std::uint8_t>(1 - run));
      out.U8(row[i]);
      i += run;
      continue;
    }
    int literal = 1;
    while (i + literal < n && literal < 128 && !(i + literal + 1 < n && row[i + literal] == row[i + literal + 1]))
      ++literal;
    out.U8(static_cast<std::uint8_t>(literal - 1));
    out.Bytes({row + i, static_cast<std::size_t>(literal)});
    i += literal;
  }
}

// The raw file from our writer, re-encoded with PackBits planes.
std::vector<std::uint8_t> RleFrom(const std::vector<std::uint8_t>& raw) {
  const std::size_t head = raw.size() - std::size_t(4) * kSide * kSide - 2;
  ByteWriter out;
  out.Bytes({raw.data(), head});
  out.U16BE(1);
  const std::size_t table = out.Size();
  out.Fill(std::size_t(4) * kSide * 2, 0);
  const std::uint8_t* planes = raw.data() + head + 2;
  for (int r = 0; r < 4 * kSide; ++r) {
    const std::size_t start = out.Size();
    PackRow(planes + std::size_t(r) * kSide, kSide, out);
    const auto count = static_cast<std::uint16_t>(out.Size() - start);
    out.Data()[table + 2 * r] = std::uint8_t(count >> 8);
    out.Data()[table + 2 * r + 1] = std::uint8_t(count);
  }
  return out.Take();
}

struct Files {
  TBitmap32 picture = TemplateLikePicture(kSide);
  std::vector<std::uint8_t> raw = BitmapToPsdStream(picture);
  std::vector<std::uint8_t> rle = RleFrom(raw);
  Magick::Blob tgaRaw, tgaRle;
  Files() {
    Magick::InitializeMagick(nullptr);
    Magick::Image image(kSide, kSide, "BGRA", Magick::CharPixel, picture.Bits());
    image.magick("TGA");
    image.compressType(Magick::NoCompression);
    image.write(&tgaRaw);
    image.compressType(Magick::RLECompression);
    image.write(&tgaRle);
  }
};

const Files& Data() {
  static const Files files;
  return files;
}

void ReadOurs(benchmark::State& state, const std::vector<std::uint8_t>& file) {
  TBitmap32 bitmap;
  ReadPsdImage(file, bitmap);
  if (!(bitmap == Data().picture)) state.SkipWithError("the reader does not give back the picture");
  for (auto _ : state) {
    ReadPsdImage(file, bitmap);
    benchmark::DoNotOptimize(bitmap.Bits());
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(file.size()));
}

void ReadMagick(benchmark::State& state, const Magick::Blob& blob, const char* format) {
  TBitmap32 bitmap(kSide, kSide);
  try {
    Magick::Image probe;
    probe.magick(format);
    probe.read(blob);
  } catch (const Magick::Exception& e) {
    state.SkipWithError(e.what());
    return;
  }
  for (auto _ : state) {
    Magick::Image image;
    image.magick(format);
    image.read(blob);
    image.write(0, 0, kSide, kSide, "BGRA", Magick::CharPixel, bitmap.Bits());
    benchmark::DoNotOptimize(bitmap.Bits());
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(blob.length()));
}

void BM_PsdRaw_Ours(benchmark::State& state) { ReadOurs(state, Data().raw); }
void BM_PsdRle_Ours(benchmark::State& state) { ReadOurs(state, Data().rle); }
void BM_TgaRaw_GraphicsMagick(benchmark::State& state) { ReadMagick(state, Data().tgaRaw, "TGA"); }
void BM_TgaRle_GraphicsMagick(benchmark::State& state) { ReadMagick(state, Data().tgaRle, "TGA"); }
// GraphicsMagick's own Photoshop decoding, where the installed library has it.
void BM_PsdRaw_GraphicsMagick(benchmark::State& state) {
  ReadMagick(state, Magick::Blob(Data().raw.data(), Data().raw.size()), "PSD");
}

BENCHMARK(BM_PsdRaw_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PsdRle_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TgaRaw_GraphicsMagick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TgaRle_GraphicsMagick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PsdRaw_GraphicsMagick)->Unit(benchmark::kMillisecond);
}  // namespace
