#include "picture/PsdFile.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "picture/Compression.h"
#include "picture/PackedPicture.h"
#include "picture/RowBands.h"
#include "platform/ByteStream.h"
#include "platform/FileIO.h"
#include "platform/Numeric.h"
#include "platform/Text.h"

namespace {
// Plane c of the merged image goes to this byte of a B, G, R, A pixel.
constexpr int kChannelToByte[4] = {2, 1, 0, 3};

[[noreturn]] void Invalid() { throw EInvalidGraphic(kInvalidPsdFormat); }

// One output row from the planes' rows red, green, blue and alpha: B, G, R, A.
void InterleaveRow(const std::uint8_t* r, const std::uint8_t* g, const std::uint8_t* b, const std::uint8_t* a,
                   std::uint8_t* out, int width) {
  int x = 0;
#if defined(__SSE2__)
  for (; x + 16 <= width; x += 16) {
    const __m128i vr = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + x));
    const __m128i vg = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g + x));
    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
    const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
    const __m128i bgLow = _mm_unpacklo_epi8(vb, vg), bgHigh = _mm_unpackhi_epi8(vb, vg);
    const __m128i raLow = _mm_unpacklo_epi8(vr, va), raHigh = _mm_unpackhi_epi8(vr, va);
    auto* o = reinterpret_cast<__m128i*>(out + 4 * std::size_t(x));
    _mm_storeu_si128(o, _mm_unpacklo_epi16(bgLow, raLow));
    _mm_storeu_si128(o + 1, _mm_unpackhi_epi16(bgLow, raLow));
    _mm_storeu_si128(o + 2, _mm_unpacklo_epi16(bgHigh, raHigh));
    _mm_storeu_si128(o + 3, _mm_unpackhi_epi16(bgHigh, raHigh));
  }
#endif
  for (; x < width; ++x) {
    out[4 * x] = b[x];
    out[4 * x + 1] = g[x];
    out[4 * x + 2] = r[x];
    out[4 * x + 3] = a[x];
  }
}

constexpr std::size_t kBadRow = ~std::size_t(0);

// One PackBits row of `width` bytes from src[0, available) into out; a run that
// passes the row's end is consumed and cut there. Gives the bytes consumed, or
// kBadRow when the data ends first.
std::size_t UnpackRow(const std::uint8_t* src, std::size_t available, std::uint8_t* out, int width) {
  std::size_t i = 0;
  int x = 0;
  while (x < width) {
    if (i >= available) return kBadRow;
    const int n = static_cast<std::int8_t>(src[i++]);
    if (n >= 0) {
      const std::size_t length = std::size_t(n) + 1;
      if (length > available - i) return kBadRow;
      const int take = std::min(n + 1, width - x);
      std::memcpy(out + x, src + i, std::size_t(take));
      i += length;
      x += take;
    } else if (n != -128) {
      if (i >= available) return kBadRow;
      const int take = std::min(1 - n, width - x);
      std::memset(out + x, src[i++], std::size_t(take));
      x += take;
    }
  }
  return i;
}

// Where each plane row (plane c, row y at c * height + y) starts and how long
// it is, for the planes the picture takes.
struct RowIndex {
  std::vector<std::size_t> start, length;
};

// The first `rows` rows as the byte-count table at `table` gives them, the first
// starting at `first`; false when they pass the data's end.
bool RowsFromTable(std::span<const std::uint8_t> data, std::size_t table, std::size_t first, std::size_t rows,
                   RowIndex& index) {
  index.start.resize(rows);
  index.length.resize(rows);
  std::size_t at = first;
  for (std::size_t k = 0; k < rows; ++k) {
    index.start[k] = at;
    index.length[k] = std::size_t(data[table + 2 * k]) << 8 | data[table + 2 * k + 1];
    at += index.length[k];
  }
  return at <= data.size();
}

// The rows found by decoding them one after another, as a file whose table is
// wrong must be read; throws when the data ends early.
void RowsByScanning(std::span<const std::uint8_t> data, std::size_t first, std::size_t rows, int width,
                    RowIndex& index) {
  index.start.resize(rows);
  index.length.resize(rows);
  std::vector<std::uint8_t> scratch(static_cast<std::size_t>(width));
  std::size_t at = first;
  for (std::size_t k = 0; k < index.start.size(); ++k) {
    const std::size_t used = UnpackRow(data.data() + at, data.size() - at, scratch.data(), width);
    if (used == kBadRow) Invalid();
    index.start[k] = at;
    index.length[k] = used;
    at += used;
  }
}

// The picture's rows from `planes` planes (1 to 4; those missing read as 0), raw
// or PackBits, in bands of rows on the task pool. False when a PackBits row does
// not take the bytes `rows` gives it (every row is then to be read again).
bool DecodeRows(std::span<const std::uint8_t> data, int planes, const RowIndex* rows, std::size_t rawStart,
                TBitmap32& bitmap) {
  const int w = bitmap.Width(), h = bitmap.Height();
  const std::vector<std::uint8_t> zeros(std::size_t(w), 0);
  std::atomic<bool> ok = true;
  ForRowBands(0, h, std::int64_t(w) * h, [&](int y0, int y1) {
    std::vector<std::uint8_t> unpacked(rows ? std::size_t(w) * planes : 0);
    const std::uint8_t* plane[4] = {zeros.data(), zeros.data(), zeros.data(), zeros.data()};
    for (int y = y0; y < y1 && ok.load(std::memory_order_relaxed); ++y) {
      for (int c = 0; c < planes; ++c) {
        const std::size_t k = std::size_t(c) * std::size_t(h) + std::size_t(y);
        if (!rows) {
          plane[c] = data.data() + rawStart + k * std::size_t(w);
          continue;
        }
        plane[c] = unpacked.data() + std::size_t(c) * w;
        const std::size_t at = rows->start[k];
        if (UnpackRow(data.data() + at, data.size() - at, unpacked.data() + std::size_t(c) * w, w) !=
            rows->length[k]) {
          ok = false;
          return;
        }
      }
      InterleaveRow(plane[0], plane[1], plane[2], plane[3], bitmap.Row(y), w);
    }
  });
  return ok;
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
  // a byte a pixel, PackBits rows at least two bytes per 128 pixels after a table
  // of two bytes a row.
  const int planes = std::min(channels, 4);
  const std::size_t perRow = compression == 0 ? width : (std::size_t(width) + 127) / 128 * 2;
  const std::size_t table = compression == 0 ? 0 : std::size_t(height) * std::size_t(channels) * 2;
  const auto least = CheckedMul(perRow, height, std::size_t(planes));
  if (!least || *least + table > r.Remaining()) Invalid();
  TBitmap32 result = TBitmap32::ForOverwrite(static_cast<int>(width), static_cast<int>(height));
  if (compression == 0) {
    DecodeRows(data, planes, nullptr, r.Position(), result);
  } else {
    // The table lets rows be read in parallel; a table that does not match the
    // rows (some writers leave it empty) gives way to reading them in order.
    RowIndex rows;
    const std::size_t count = std::size_t(planes) * height;
    const std::size_t first = r.Position() + table;
    if (!RowsFromTable(data, r.Position(), first, count, rows) || !DecodeRows(data, planes, &rows, 0, result)) {
      RowsByScanning(data, first, count, int(width), rows);
      DecodeRows(data, planes, &rows, 0, result);
    }
  }
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
  auto bytes = path.empty() ? std::nullopt : ReadFileBuffer(path, kMaxDecompressedSize);
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
