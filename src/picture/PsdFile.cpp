#include "picture/PsdFile.h"

#include <algorithm>

#include "picture/Compression.h"
#include "picture/PackedPicture.h"
#include "platform/ByteStream.h"
#include "platform/FileIO.h"
#include "platform/Numeric.h"
#include "platform/Text.h"

namespace {
// Plane c of the merged image goes to this byte of a B, G, R, A pixel.
constexpr int kChannelToByte[4] = {2, 1, 0, 3};

[[noreturn]] void Invalid() { throw EInvalidGraphic(kInvalidPsdFormat); }

void ReadRawPlanes(ByteReader& r, int planes, TBitmap32& bitmap) {
  const int w = bitmap.Width();
  for (int c = 0; c < planes; ++c)
    for (int y = 0; y < bitmap.Height(); ++y) {
      const auto row = r.Bytes(std::size_t(w));
      if (!r.ok()) Invalid();
      std::uint8_t* out = bitmap.Row(y) + kChannelToByte[c];
      for (int x = 0; x < w; ++x) out[4 * x] = row[x];
    }
}

// PackBits rows: a run that passes the row's end is consumed and cut there.
void ReadPackBitsPlanes(ByteReader& r, int planes, int fileChannels, TBitmap32& bitmap) {
  const auto table = CheckedMul(std::size_t(bitmap.Height()), std::size_t(fileChannels), 2);
  if (!table) Invalid();
  r.Skip(*table);
  const int w = bitmap.Width();
  for (int c = 0; c < planes; ++c)
    for (int y = 0; y < bitmap.Height(); ++y) {
      std::uint8_t* out = bitmap.Row(y) + kChannelToByte[c];
      int x = 0;
      while (x < w) {
        const auto n = static_cast<std::int8_t>(r.U8());
        if (n >= 0) {
          const auto literal = r.Bytes(std::size_t(n) + 1);
          if (!r.ok()) Invalid();
          for (std::size_t i = 0; i < literal.size() && x < w; ++i, ++x) out[4 * x] = literal[i];
        } else if (n != -128) {
          const std::uint8_t value = r.U8();
          for (int i = 0; i < 1 - n && x < w; ++i, ++x) out[4 * x] = value;
        }
        if (!r.ok()) Invalid();
      }
    }
}
}  // namespace

void ReadPsdImage(std::span<const std::uint8_t> data, TBitmap32& bitmap) {
  ByteReader r(data);
  if (r.Text(4) != "8BPS" || r.U16BE() != 1) Invalid();
  r.Skip(6);
  const int channels = r.U16BE();
  const std::uint32_t height = r.U32BE();
  const std::uint32_t width = r.U32BE();
  const std::uint16_t depth = r.U16BE();
  const std::uint16_t mode = r.U16BE();
  // A picture without rows or columns has no row to address.
  if (!r.ok() || channels == 0 || width == 0 || height == 0 || depth != 8 || (mode != 3 && mode != 7)) Invalid();
  for (int section = 0; section < 3; ++section) r.Skip(r.U32BE());  // colour data, resources, layers
  const std::uint16_t compression = r.U16BE();
  if (!r.ok() || compression > 1) Invalid();
  if (!PictureSizeAllowed(width, height)) throw EInvalidGraphic("Picture is too large");

  // Refuse before allocating when the data cannot hold the planes: raw planes take
  // a byte a pixel, PackBits rows at least two bytes per 128 pixels.
  const int planes = std::min(channels, 4);
  const std::size_t perRow = compression == 0 ? width : (std::size_t(width) + 127) / 128 * 2;
  const auto least = CheckedMul(perRow, height, std::size_t(planes));
  if (!least || *least > r.Remaining()) Invalid();
  TBitmap32 result(static_cast<int>(width), static_cast<int>(height));
  if (compression == 0) ReadRawPlanes(r, planes, result);
  else ReadPackBitsPlanes(r, planes, channels, result);
  bitmap = std::move(result);
}

void LoadPsdPicture(const std::filesystem::path& fileName, TBitmap32& bitmap) {
  std::filesystem::path path = fileName;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    path.clear();
    for (const char* ext : {".psd", ".fcc", ".fll"}) {
      std::filesystem::path candidate = fileName;
      candidate.replace_extension(ext);
      if (std::filesystem::exists(candidate, ec)) {
        path = candidate;
        break;
      }
    }
  }
  auto bytes = path.empty() ? std::nullopt : ReadFileBytes(path, kMaxDecompressedSize);
  if (!bytes) throw EFOpenError("Cannot open file \"" + fileName.string() + "\"");

  const std::string ext = LowerAscii(path.extension().string());
  if (ext == ".fll") {
    if (!UnpackBitmap32Into(*bytes, bitmap)) throw EInvalidGraphic("Invalid packed picture");
  } else if (ext == ".fcc") {
    auto psd = DecompressStream(*bytes);
    if (!psd) Invalid();
    ReadPsdImage(*psd, bitmap);
  } else {
    ReadPsdImage(*bytes, bitmap);
  }
}

std::vector<std::uint8_t> BitmapToPsdStream(const TBitmap32& bitmap) {
  ByteWriter w;
  w.Text("8BPS");
  w.U16BE(1);
  w.Fill(6, 0);
  w.U16BE(4);
  w.U32BE(static_cast<std::uint32_t>(bitmap.Height()));
  w.U32BE(static_cast<std::uint32_t>(bitmap.Width()));
  w.U16BE(8);
  w.U16BE(3);
  for (int section = 0; section < 3; ++section) w.U32BE(0);
  w.U16BE(0);
  const std::size_t pixels = std::size_t(bitmap.Width()) * std::size_t(bitmap.Height());
  std::vector<std::uint8_t>& out = w.Data();
  const std::size_t start = out.size();
  out.resize(start + 4 * pixels);
  const std::uint8_t* in = bitmap.Bits();
  for (int c = 0; c < 4; ++c) {
    std::uint8_t* plane = out.data() + start + std::size_t(c) * pixels;
    const int byte = kChannelToByte[c];
    for (std::size_t i = 0; i < pixels; ++i) plane[i] = in[4 * i + byte];
  }
  return w.Take();
}

bool SavePsdFile(const TBitmap32& bitmap, const std::filesystem::path& fileName) {
  return WriteFileAtomic(fileName, BitmapToPsdStream(bitmap));
}
