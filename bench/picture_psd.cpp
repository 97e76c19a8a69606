// Reading a 2048 x 2048 four-channel Photoshop file from its file, raw and
// PackBits, as our writer makes it and as ImageMagick does (a layer block as
// large as the merged image before it), with our reader on one thread (/1) and
// on all the process may use (/0), against Pillow reading the same file (in a
// Python process kept for the purpose, timed by its own clock from opening the
// file to the decoded pixels). GraphicsMagick, whose Debian build has no
// Photoshop coder, decodes the same pixels as 32-bit TGA as a second reference.
#include <benchmark/benchmark.h>

#include <Magick++.h>
#include <zlib.h>

#include <cstdlib>
#include <vector>

#include "BenchPicture.h"
#include "BenchThreads.h"
#include "PythonWorker.h"
#include "picture/PsdFile.h"
#include "platform/ByteStream.h"
#include "platform/FileIO.h"

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

std::vector<std::uint8_t> Rgba(const TBitmap32& picture) {
  std::vector<std::uint8_t> rgba;
  for (int i = 0; i < picture.Width() * picture.Height(); ++i) {
    const TColor32 c = picture.PixelPtr(0, 0)[i];
    rgba.insert(rgba.end(), {RedOf(c), GreenOf(c), BlueOf(c), AlphaOf(c)});
  }
  return rgba;
}

struct Files {
  TBitmap32 picture = TemplateLikePicture(kSide);
  fs::path raw = NewTempFilePath("raw.psd"), rle = NewTempFilePath("rle.psd");
  fs::path magickRaw = NewTempFilePath("magick-raw.psd"), magickRle = NewTempFilePath("magick-rle.psd");
  Magick::Blob tgaRaw, tgaRle;
  Files() {
    const std::vector<std::uint8_t> rawBytes = BitmapToPsdStream(picture);
    WriteFileAtomic(raw, rawBytes);
    WriteFileAtomic(rle, RleFrom(rawBytes));
    const fs::path rgba = NewTempFilePath(".rgba");
    WriteFileAtomic(rgba, Rgba(picture));
    for (const auto& [file, compression] : {std::pair{magickRaw, "None"}, std::pair{magickRle, "RLE"}}) {
      const std::string command = "convert -size 2048x2048 -depth 8 'rgba:" + rgba.string() + "' -compress " +
                                  compression + " '" + file.string() + "'";
      if (std::system(command.c_str()) != 0) fs::remove(file);
    }
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

// Our files must give back the picture; ImageMagick's must give what Pillow
// reads from them, which its benchmark checks.
void ReadOurs(benchmark::State& state, const fs::path& file, bool ourFile) {
  if (!fs::exists(file)) {
    state.SkipWithError("ImageMagick's convert did not write the file");
    return;
  }
  const TaskThreadsFor threads(state.range(0));
  TBitmap32 bitmap;
  LoadPsdPicture(file, bitmap);
  if (ourFile && !(bitmap == Data().picture)) state.SkipWithError("the reader does not give back the picture");
  for (auto _ : state) {
    LoadPsdPicture(file, bitmap);
    benchmark::DoNotOptimize(bitmap.Bits());
  }
}

// Answers each path with the seconds Pillow took to open and decode it, the
// mode, the size and a checksum of the pixels of the first answer.
constexpr const char* kPillowScript = R"(
import sys, time, zlib
from PIL import Image
first = True
for line in sys.stdin:
    t = time.perf_counter()
    with Image.open(line.rstrip('\n')) as im:
        im.load()
        seconds = time.perf_counter() - t
        check = zlib.crc32(im.tobytes()) if first else 0
        first = False
        print('%.9f %s %dx%d %d' % (seconds, im.mode, im.size[0], im.size[1], check), flush=True)
)";

// Pillow must read the pixels our reader reads.
void ReadPillow(benchmark::State& state, const fs::path& file) {
  if (!fs::exists(file)) {
    state.SkipWithError("ImageMagick's convert did not write the file");
    return;
  }
  PythonWorker pillow(kPillowScript);
  const std::string first = pillow.Ask(file.string());
  TBitmap32 ours;
  LoadPsdPicture(file, ours);
  const std::vector<std::uint8_t> rgba = Rgba(ours);
  const std::string expected = "RGBA 2048x2048 " + std::to_string(crc32(0, rgba.data(), uInt(rgba.size())));
  if (first.find(expected) == std::string::npos) {
    state.SkipWithError(("Pillow does not read what we read: " + first).c_str());
    return;
  }
  for (auto _ : state) state.SetIterationTime(std::stod(pillow.Ask(file.string())));
}

void ReadMagick(benchmark::State& state, const Magick::Blob& blob, const char* format) {
  TBitmap32 bitmap(kSide, kSide);
  for (auto _ : state) {
    Magick::Image image;
    image.magick(format);
    image.read(blob);
    image.write(0, 0, kSide, kSide, "BGRA", Magick::CharPixel, bitmap.Bits());
    benchmark::DoNotOptimize(bitmap.Bits());
  }
}

void BM_PsdRaw_Ours(benchmark::State& state) { ReadOurs(state, Data().raw, true); }
void BM_PsdRaw_Pillow(benchmark::State& state) { ReadPillow(state, Data().raw); }
void BM_PsdRle_Ours(benchmark::State& state) { ReadOurs(state, Data().rle, true); }
void BM_PsdRle_Pillow(benchmark::State& state) { ReadPillow(state, Data().rle); }
void BM_MagickPsdRaw_Ours(benchmark::State& state) { ReadOurs(state, Data().magickRaw, false); }
void BM_MagickPsdRaw_Pillow(benchmark::State& state) { ReadPillow(state, Data().magickRaw); }
void BM_MagickPsdRle_Ours(benchmark::State& state) { ReadOurs(state, Data().magickRle, false); }
void BM_MagickPsdRle_Pillow(benchmark::State& state) { ReadPillow(state, Data().magickRle); }
void BM_TgaRaw_GraphicsMagick(benchmark::State& state) { ReadMagick(state, Data().tgaRaw, "TGA"); }
void BM_TgaRle_GraphicsMagick(benchmark::State& state) { ReadMagick(state, Data().tgaRle, "TGA"); }

BENCHMARK(BM_PsdRaw_Ours)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PsdRaw_Pillow)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PsdRle_Ours)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PsdRle_Pillow)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_MagickPsdRaw_Ours)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MagickPsdRaw_Pillow)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_MagickPsdRle_Ours)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MagickPsdRle_Pillow)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_TgaRaw_GraphicsMagick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TgaRle_GraphicsMagick)->Unit(benchmark::kMillisecond);
}  // namespace
