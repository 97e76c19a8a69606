#include "picture/PsdFile.h"

#include <algorithm>
#include <atomic>
#include <cstring>


#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "picture/Compression.h"
#include "picture/PackedPicture.h"
#include "picture/PictureLimits.h"
#include "picture/RowBands.h"
#include "platform/ByteBuffer.h"
#include "platform/ByteSource.h"
#include "platform/ByteStream.h"
#include "platform/FileIO.h"
#include "platform/Numeric.h"
#include "platform/Text.h"

namespace {
// Plane c of the merged image goes to this byte of a B, G, R, A pixel.
constexpr int kChannelToByte[4] = {2, 1, 0, 3};

// A fault found deep in the reader; it goes no further than DecodePsd, which
// gives it back as the file's error.
struct TPsdFault {
  TFileFault Cause;
  std::string Detail;
};

[[noreturn]] void Invalid() { throw TPsdFault{TFileFault::Damaged, kInvalidPsdFormat}; }

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

// Whether a row that decoded from `used` of its `length` counted bytes fills
// them: ImageMagick ends every row with a no-op control byte (0x80) that the
// row table counts.
bool TakesItsLength(const std::uint8_t* row, std::size_t used, std::size_t length) {
  if (used > length) return false;
  return std::all_of(row + used, row + length, [](std::uint8_t b) { return b == 0x80; });
}

// The bytes a picture is read from: data in memory, or a file read a piece at a
// time, so that a merged image after a large layer block is read without the
// block and without a buffer the size of the file.
class PsdBytes {
 public:
  explicit PsdBytes(const TByteSource& source) : source_(source) {}
  std::size_t Size() const { return std::size_t(source_.Size()); }

  // Bytes at..at+n, which the caller has found inside Size(): in place, or read
  // into `held`. Throws ReadFailure when the file gives fewer (it shrank).
  const std::uint8_t* Get(std::size_t at, std::size_t n, ByteBuffer& held) const {
    const std::uint8_t* bytes = source_.Get(at, n, held);
    if (!bytes) throw ReadFailure();
    return bytes;
  }
  std::uint32_t U32At(std::size_t at) const {
    ByteBuffer held;
    const std::uint8_t* p = Get(at, 4, held);
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
  }

  struct ReadFailure {};

 private:
  const TByteSource& source_;
};

// Where each plane row (plane c, row y at c * height + y) starts and how long
// it is, for the planes the picture takes.
struct RowIndex {
  std::vector<std::size_t> start, length;
};

// The first `rows` rows as the byte-count table gives them, the first starting
// at `first`; false when they pass `end`.
bool RowsFromTable(const std::uint8_t* table, std::size_t first, std::size_t rows, std::size_t end,
                   RowIndex& index) {
  index.start.resize(rows);
  index.length.resize(rows);
  std::size_t at = first;
  for (std::size_t k = 0; k < rows; ++k) {
    index.start[k] = at;
    index.length[k] = std::size_t(table[2 * k]) << 8 | table[2 * k + 1];
    at += index.length[k];
  }
  return at <= end;
}

// The rows found by decoding them one after another, as a file whose table is
// wrong must be read; throws when the data ends early or a row takes more than
// a row of literals could (with room for no-ops). The data is read a window at a
// time, so the cost is bounded by the picture, not by what follows it.
void RowsByScanning(const PsdBytes& bytes, std::size_t first, std::size_t rows, int width, RowIndex& index) {
  index.start.resize(rows);
  index.length.resize(rows);
  std::vector<std::uint8_t> scratch(static_cast<std::size_t>(width));
  const std::size_t rowLimit = 4 * std::size_t(width) + 256;
  const std::size_t windowSize = std::max<std::size_t>(std::size_t(1) << 20, 2 * rowLimit);
  ByteBuffer held;
  const std::uint8_t* window = nullptr;
  std::size_t windowStart = first, windowEnd = first;
  std::size_t at = first;
  for (std::size_t k = 0; k < rows; ++k) {
    const std::size_t wanted = std::min(rowLimit, bytes.Size() - at);
    if (wanted == 0) Invalid();
    if (windowEnd - at < wanted) {
      windowStart = at;
      windowEnd = at + std::min(windowSize, bytes.Size() - at);
      window = bytes.Get(windowStart, windowEnd - windowStart, held);
    }
    const std::size_t used = UnpackRow(window + (at - windowStart), wanted, scratch.data(), width);
    if (used == kBadRow) Invalid();
    index.start[k] = at;
    index.length[k] = used;
    at += used;
  }
}

// The picture's rows from `planes` planes (1 to 4; those missing read as 0), raw
// (starting at `rawStart`) or PackBits (where `rows` says), in bands of rows on
// the task pool. Each band reads a few rows of every plane at a time into
// buffers it keeps, small enough to stay in cache until they are interleaved.
// False when a PackBits row does not take the bytes `rows` gives it, beyond
// trailing no-op bytes (every row is then to be read again).
bool DecodeRows(const PsdBytes& bytes, int planes, const RowIndex* rows, std::size_t rawStart, TBitmap32& bitmap) {
  const int w = bitmap.Width(), h = bitmap.Height();
  const std::vector<std::uint8_t> zeros(std::size_t(w), 0);
  const int step = std::max(1, int((std::size_t(1) << 17) / (std::size_t(w) * std::size_t(planes))));
  std::atomic<bool> ok = true;
  ForRowBands(0, h, std::int64_t(w) * h, [&](int y0, int y1) {
    ByteBuffer held[4];
    std::vector<std::uint8_t> unpacked(rows ? std::size_t(w) * planes : 0);
    const std::uint8_t* plane[4] = {zeros.data(), zeros.data(), zeros.data(), zeros.data()};
    const std::uint8_t* part[4] = {};
    std::size_t partStart[4] = {}, partEnd[4] = {};
    for (int y = y0; y < y1 && ok.load(std::memory_order_relaxed); y += step) {
      const int n = std::min(step, y1 - y);
      for (int c = 0; c < planes; ++c) {
        const std::size_t k = std::size_t(c) * std::size_t(h) + std::size_t(y);
        if (rows) {
          partStart[c] = rows->start[k];
          partEnd[c] = rows->start[k + n - 1] + rows->length[k + n - 1];
        } else {
          partStart[c] = rawStart + k * std::size_t(w);
          partEnd[c] = partStart[c] + std::size_t(n) * std::size_t(w);
        }
        part[c] = bytes.Get(partStart[c], partEnd[c] - partStart[c], held[c]);
      }
      for (int i = 0; i < n; ++i) {
        for (int c = 0; c < planes; ++c) {
          if (!rows) {
            plane[c] = part[c] + std::size_t(i) * std::size_t(w);
            continue;
          }
          const std::size_t k = std::size_t(c) * std::size_t(h) + std::size_t(y + i), at = rows->start[k];
          plane[c] = unpacked.data() + std::size_t(c) * w;
          const std::uint8_t* row = part[c] + (at - partStart[c]);
          if (!TakesItsLength(row, UnpackRow(row, partEnd[c] - at, unpacked.data() + std::size_t(c) * w, w),
                              rows->length[k])) {
            ok = false;
            return;
          }
        }
        InterleaveRow(plane[0], plane[1], plane[2], plane[3], bitmap.Row(y + i), w);
      }
    }
  });
  return ok;
}

void ReadPsd(const PsdBytes& bytes, TBitmap32& bitmap) {
  ByteBuffer held;
  constexpr std::size_t kHead = 26;
  if (bytes.Size() < kHead) Invalid();
  ByteReader r({bytes.Get(0, kHead, held), kHead});
  if (r.Text(4) != "8BPS" || r.U16BE() != 1) Invalid();
  r.Skip(6);
  const int channels = r.U16BE();
  const std::uint32_t height = r.U32BE();
  const std::uint32_t width = r.U32BE();
  const std::uint16_t depth = r.U16BE();
  const std::uint16_t mode = r.U16BE();
  // A picture without rows or columns has no row to address.
  if (channels == 0 || width == 0 || height == 0 || depth != 8 || (mode != 3 && mode != 7)) Invalid();
  std::size_t at = kHead;
  for (int section = 0; section < 3; ++section) {  // colour data, resources, layers
    if (bytes.Size() - at < 4) Invalid();
    at += 4;
    const std::size_t length = bytes.U32At(at - 4);
    if (bytes.Size() - at < length) Invalid();
    at += length;
  }
  if (bytes.Size() - at < 2) Invalid();
  const std::uint8_t* word = bytes.Get(at, 2, held);
  const int compression = word[0] << 8 | word[1];
  at += 2;
  if (compression > 1) Invalid();
  if (!PictureSizeAccepted(width, height)) throw TPsdFault{TFileFault::TooLarge, PictureTooLargeText(width, height)};

  // Refuse before allocating when the data cannot hold the planes: raw planes take
  // a byte a pixel, PackBits rows at least two bytes per 128 pixels after a table
  // of two bytes a row.
  const int planes = std::min(channels, 4);
  const std::size_t perRow = compression == 0 ? width : (std::size_t(width) + 127) / 128 * 2;
  const std::size_t table = compression == 0 ? 0 : std::size_t(height) * std::size_t(channels) * 2;
  const auto least = CheckedMul(perRow, height, std::size_t(planes));
  if (!least || *least + table > bytes.Size() - at) Invalid();
  TBitmap32 result = TBitmap32::ForOverwrite(static_cast<int>(width), static_cast<int>(height));
  if (compression == 0) {
    DecodeRows(bytes, planes, nullptr, at, result);
  } else {
    // The table lets rows be read in parallel; a table that does not match the
    // rows (some writers leave it empty) gives way to finding them in order.
    RowIndex rows;
    const std::size_t count = std::size_t(planes) * height;
    const std::size_t first = at + table;
    if (!RowsFromTable(bytes.Get(at, 2 * count, held), first, count, bytes.Size(), rows) ||
        !DecodeRows(bytes, planes, &rows, 0, result)) {
      RowsByScanning(bytes, first, count, int(width), rows);
      DecodeRows(bytes, planes, &rows, 0, result);
    }
  }
  bitmap = std::move(result);
}

// The reader's one way out: what it throws stops here. Bytes that run short are
// a damaged picture in memory, a file that shrank while read (`inFile`) one
// that cannot be read.
TFileResult<> DecodePsd(const TByteSource& source, const std::filesystem::path& path, bool inFile,
                        TBitmap32& bitmap) {
  try {
    ReadPsd(PsdBytes(source), bitmap);
  } catch (const TPsdFault& fault) {
    return FileError(fault.Cause, path, 0, fault.Detail);
  } catch (const PsdBytes::ReadFailure&) {
    if (inFile) return FileError(TFileFault::CannotRead, path, EIO);
    return FileError(TFileFault::Damaged, path, 0, kInvalidPsdFormat);
  }
  return {};
}
}  // namespace

TFileResult<> ReadPsdImage(std::span<const std::uint8_t> data, TBitmap32& bitmap, const std::filesystem::path& path) {
  return DecodePsd(TByteSource(data), path, false, bitmap);
}

TFileResult<> LoadPsdPicture(const std::filesystem::path& fileName, TBitmap32& bitmap) {
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
  if (path.empty()) return FileError(TFileFault::NoSuchFile, fileName);

  const std::string ext = LowerAscii(path.extension().string());
  try {
    if (ext != ".fll" && ext != ".fcc") {
      // Read where it lies: only the header, the section lengths and the merged planes.
      const std::unique_ptr<TByteSource> source = TByteSource::OpenFile(path);
      if (!source) return FileError(TFileFault::CannotRead, path, errno);
      return DecodePsd(*source, path, true, bitmap);
    }
    auto bytes = ReadFileBuffer(path, kMaxDecompressedSize);
    if (!bytes) return bytes.Error();
    if (ext == ".fll") {
      if (!UnpackBitmap32Into(*bytes, bitmap)) return FileError(TFileFault::Damaged, path, 0, "Invalid packed picture");
    } else {
      auto psd = DecompressStream(*bytes);
      if (!psd) return FileError(TFileFault::Damaged, path, 0, kInvalidPsdFormat);
      return ReadPsdImage(*psd, bitmap, path);
    }
  } catch (const std::bad_alloc&) {
    return FileError(TFileFault::CannotRead, path, ENOMEM);
  }
  return {};
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

TFileResult<> SavePsdFile(const TBitmap32& bitmap, const std::filesystem::path& fileName) {
  return WriteFileAtomic(fileName, BitmapToPsdStream(bitmap));
}

TFileResult<> PackedPictureFileToPsd(const std::filesystem::path& source, const std::filesystem::path& dest) {
  const auto bytes = ReadFileBytes(source, kMaxDecompressedSize);
  if (!bytes) return FileError(TFileFault::CannotRead, source);
  auto bitmap = UnpackBitmap32(*bytes);
  if (!bitmap) return FileError(TFileFault::Damaged, source, 0, "Invalid packed picture");
  return SavePsdFile(*bitmap, dest);
}

TFileResult<> PackedStringToPsdFile(std::string_view data, const std::filesystem::path& dest) {
  auto bitmap = UnpackBitmap32(AsBytes(data));
  if (!bitmap) return FileError(TFileFault::Damaged, dest, 0, "Invalid packed picture");
  return SavePsdFile(*bitmap, dest);
}
