// Reading a four-channel Photoshop file of 1024, 2048 and 4096 square from its
// file (the first argument), raw and PackBits, as our writer makes it and as ImageMagick does (a layer block as
// large as the merged image before it), with our reader on one thread (/1) and
// on all the process may use (second argument 0), against Pillow reading the same file (in a
// Python process kept for the purpose, timed by its own clock from opening the
// file to the decoded pixels). GraphicsMagick, whose Debian build has no
// Photoshop coder, decodes the same pixels at 2048 square as 32-bit TGA as a
// second reference.
#include <benchmark/benchmark.h>

#include <Magick++.h>
#include <zlib.h>

#include <cstdlib>
#include <map>
#include <vector>

#include "BenchPicture.h"
#include "BenchThreads.h"
#include "PythonWorker.h"
#include "picture/PsdFile.h"
#include "platform/ByteStream.h"
#include "platform/FileIO.h"

namespace {
constexpr int kTgaSide = 2048;

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
std::vector<std::uint8_t> RleFrom(const std::vector<std::uint8_t>& raw, int side) {
  const std::size_t head = raw.size() - std::size_t(4) * side * side - 2;
  ByteWriter out;
  out.Bytes({raw.data(), head});
  out.U16BE(1);
  const std::size_t table = out.Size();
  out.Fill(std::size_t(4) * side * 2, 0);
  const std::uint8_t* planes = raw.data() + head + 2;
  for (int r = 0; r < 4 * side; ++r) {
    const std::size_t start = out.Size();
    PackRow(planes + std::size_t(r) * side, side, out);
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
  int side;
  TBitmap32 picture = TemplateLikePicture(side);
  fs::path raw = NewTempFilePath("raw.psd"), rle = NewTempFilePath("rle.psd");
  fs::path magickRaw = NewTempFilePath("magick-raw.psd"), magickRle = NewTempFilePath("magick-rle.psd");
  Magick::Blob tgaRaw, tgaRle;  // at kTgaSide only
  explicit Files(int sideLength) : side(sideLength) {
    const std::vector<std::uint8_t> rawBytes = BitmapToPsdStream(picture);
    WriteFileAtomic(raw, rawBytes);
    WriteFileAtomic(rle, RleFrom(rawBytes, side));
    const fs::path rgba = NewTempFilePath(".rgba");
    WriteFileAtomic(rgba, Rgba(picture));
    for (const auto& [file, compression] : {std::pair{magickRaw, "None"}, std::pair{magickRle, "RLE"}}) {
      const std::string command = "convert -size " + std::to_string(side) + "x" + std::to_string(side) +
                                  " -depth 8 'rgba:" + rgba.string() + "' -compress " +
                                  compression + " '" + file.string() + "'";
      if (std::system(command.c_str()) != 0) fs::remove(file);
    }
    if (side != kTgaSide) return;
    Magick::InitializeMagick(nullptr);
    Magick::Image image(kTgaSide, kTgaSide, "BGRA", Magick::CharPixel, picture.Bits());
    image.magick("TGA");
    image.compressType(Magick::NoCompression);
    image.write(&tgaRaw);
    image.compressType(Magick::RLECompression);
    image.write(&tgaRle);
  }
};

const Files& Data(std::int64_t side) {
  static std::map<std::int64_t, Files> files;
  return files.try_emplace(side, int(side)).first->second;
}

// Our files must give back the picture; ImageMagick's must give what Pillow
// reads from them, which its benchmark checks.
void ReadOurs(benchmark::State& state, fs::path Files::*which, bool ourFile) {
  const Files& data = Data(state.range(0));
  const fs::path& file = data.*which;
  if (!fs::exists(file)) {
    state.SkipWithError("ImageMagick's convert did not write the file");
    return;
  }
  const TaskThreadsFor threads(state.range(1));
  TBitmap32 bitmap;
  LoadPsdPicture(file, bitmap);
  if (ourFile && !(bitmap == data.picture)) state.SkipWithError("the reader does not give back the picture");
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
  const std::string side = std::to_string(ours.Width());
  const std::string expected = "RGBA " + side + "x" + side + " " + std::to_string(crc32(0, rgba.data(), uInt(rgba.size())));
  if (first.find(expected) == std::string::npos) {
    state.SkipWithError(("Pillow does not read what we read: " + first).c_str());
    return;
  }
  for (auto _ : state) state.SetIterationTime(std::stod(pillow.Ask(file.string())));
}

void ReadMagick(benchmark::State& state, const Magick::Blob& blob, const char* format) {
  TBitmap32 bitmap(kTgaSide, kTgaSide);
  for (auto _ : state) {
    Magick::Image image;
    image.magick(format);
    image.read(blob);
    image.write(0, 0, kTgaSide, kTgaSide, "BGRA", Magick::CharPixel, bitmap.Bits());
    benchmark::DoNotOptimize(bitmap.Bits());
  }
}

void BM_PsdRaw_Ours(benchmark::State& state) { ReadOurs(state, &Files::raw, true); }
void BM_PsdRaw_Pillow(benchmark::State& state) { ReadPillow(state, Data(state.range(0)).raw); }
void BM_PsdRle_Ours(benchmark::State& state) { ReadOurs(state, &Files::rle, true); }
void BM_PsdRle_Pillow(benchmark::State& state) { ReadPillow(state, Data(state.range(0)).rle); }
void BM_MagickPsdRaw_Ours(benchmark::State& state) { ReadOurs(state, &Files::magickRaw, false); }
void BM_MagickPsdRaw_Pillow(benchmark::State& state) { ReadPillow(state, Data(state.range(0)).magickRaw); }
void BM_MagickPsdRle_Ours(benchmark::State& state) { ReadOurs(state, &Files::magickRle, false); }
void BM_MagickPsdRle_Pillow(benchmark::State& state) { ReadPillow(state, Data(state.range(0)).magickRle); }
void BM_TgaRaw_GraphicsMagick(benchmark::State& state) { ReadMagick(state, Data(kTgaSide).tgaRaw, "TGA"); }
void BM_TgaRle_GraphicsMagick(benchmark::State& state) { ReadMagick(state, Data(kTgaSide).tgaRle, "TGA"); }

const std::vector<std::int64_t> kSides = {1024, 2048, 4096};
BENCHMARK(BM_PsdRaw_Ours)->ArgsProduct({kSides, {1, 0}})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PsdRaw_Pillow)->ArgsProduct({kSides})->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PsdRle_Ours)->ArgsProduct({kSides, {1, 0}})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PsdRle_Pillow)->ArgsProduct({kSides})->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_MagickPsdRaw_Ours)->ArgsProduct({kSides, {1, 0}})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MagickPsdRaw_Pillow)->ArgsProduct({kSides})->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_MagickPsdRle_Ours)->ArgsProduct({kSides, {1, 0}})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MagickPsdRle_Pillow)->ArgsProduct({kSides})->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_TgaRaw_GraphicsMagick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TgaRle_GraphicsMagick)->Unit(benchmark::kMillisecond);
}  // namespace
