// BMP as the imaging library reads it: 1, 4 and 8-bit palettes, 16, 24 and 32
// bits (bit fields or not), RLE8 and RLE4, bottom-up or top-down, from a "BM" or
// OS/2 "CI" header (behind OS/2 array headers, if any). Its channel scaling, where
// its run-length decoding stops and what damage it refuses are followed exactly;
// runs land straight in the caller's rows, where the library would first unpack
// the whole picture a byte a pixel and then hold it at 8 bytes a pixel.
// Other variants (2, 48 and 64 bits, split bit masks, 16 plain bits with an
// alpha mask) and headers it refuses are left to it.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "picture/module/DirectReaders.h"

namespace {
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

// Reads as the library's blob does: past the end a read gives -1 (or zeros) and
// marks the end as reached, which fails the picture only where the library
// checks for it.
struct TCursor {
  std::span<const std::uint8_t> bytes;
  std::size_t at = 0;
  bool ended = false;

  int Byte() {
    if (at < bytes.size()) return bytes[at++];
    ended = true;
    return -1;
  }
  std::uint32_t U16() {
    const int lo = Byte(), hi = Byte();
    return ended ? 0 : std::uint32_t(lo | hi << 8);
  }
  std::uint32_t U32() {
    const std::uint32_t lo = U16();
    return lo | U16() << 16;
  }
  void Skip(std::size_t n) {
    ended = ended || n > bytes.size() - std::min(at, bytes.size());
    at = ended ? bytes.size() : at + n;
  }
};

struct THead {
  std::uint32_t headerSize = 0, offsetBits = 0, compression = kRgb, bits = 0, colors = 0;
  std::int64_t width = 0, height = 0;
  std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
};

// The info header after its size field, as far as the library reads it; false
// for one it refuses.
bool ReadInfoHeader(TCursor& c, THead& h, std::uint32_t& planes) {
  const std::uint32_t size = h.headerSize;
  if (size == 12) {
    h.width = std::int16_t(c.U16());
    h.height = std::int16_t(c.U16());
    planes = c.U16();
    h.bits = c.U16();
    return true;
  }
  if (size < 64 && size != 40 && size != 52 && size != 56) return false;
  h.width = std::int32_t(c.U32());
  h.height = std::int32_t(c.U32());
  planes = c.U16();
  h.bits = c.U16();
  h.compression = c.U32();
  c.Skip(12);  // image size, resolution
  h.colors = c.U32();
  c.Skip(4);
  if (size == 64) {
    c.Skip(24);  // OS/2 2.x fields
  } else if (size >= 52) {
    for (int i = 0; i < (size >= 56 ? 4 : 3); ++i) h.masks[std::size_t(i)] = c.U32();
    if (size > 120) c.Skip(52);  // colour space, end points, gamma
  }
  if (size > 108) c.Skip(16);  // intent, profile
  return true;
}

// The headers; false when the library would refuse them or read the file some
// other way.
bool ReadHead(std::span<const std::uint8_t> bytes, THead& h) {
  TCursor c{bytes};
  int m0 = c.Byte(), m1 = c.Byte();
  while (m0 == 'B' && m1 == 'A' && !c.ended) {
    c.Skip(12);
    m0 = c.Byte(), m1 = c.Byte();
  }
  const bool icon = m0 == 'C' && m1 == 'I';
  if (c.ended || !((m0 == 'B' && m1 == 'M') || icon)) return false;
  const std::uint32_t fileSize = c.U32();
  c.Skip(4);
  h.offsetBits = c.U32();
  h.headerSize = c.U32();
  if (icon && h.headerSize != 12 && h.headerSize != 40 && h.headerSize != 64) return false;
  if ((fileSize != 0 && fileSize > bytes.size()) || h.offsetBits < h.headerSize) return false;
  std::uint32_t planes = 0;
  if (!ReadInfoHeader(c, h, planes) || c.ended) return false;
  if (h.width <= 0 || h.height == 0 || h.height < -2147483647) return false;
  if (h.height < 0 && h.compression != kRgb) return false;
  if (h.compression == kBitFields) {
    if (h.headerSize == 40)
      for (int i = 0; i < 3; ++i) h.masks[std::size_t(i)] = c.U32();
    if (c.ended || h.headerSize == 64 || (h.bits != 16 && h.bits != 32)) return false;
  } else if (h.compression > kRle4) {
    return false;
  }
  if (planes != 1) return false;
  if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32) return false;
  if (h.bits < 16 && h.colors > (1u << h.bits)) return false;
  if ((h.compression == kRle8 && h.bits != 8) || (h.compression == kRle4 && h.bits != 4)) return false;
  return true;
}

// A channel of a bit-field pixel: its bits moved to the top of 16, widened to
// 16 only when there are exactly 8 of them, then scaled to 8 bits by truncation.
struct TField {
  std::uint32_t mask = 0;
  int shift = 0;
  bool widen = false;

  explicit TField(std::uint32_t m) : mask(m), shift(m ? std::countl_zero(m) : 0), widen(std::popcount(m) == 8) {}
  std::uint8_t Of(std::uint32_t pixel) const {
    std::uint32_t v = ((pixel & mask) << shift) >> 16;
    if (widen) v |= v >> 8;
    return std::uint8_t(v / 257);
  }
};

bool Contiguous(std::uint32_t mask) {
  const std::uint32_t low = mask ? mask >> std::countr_zero(mask) : 0;
  return (low & (low + 1)) == 0;
}

using TPalette = std::array<std::array<std::uint8_t, 4>, 256>;  // B, G, R, A

// The palette the library reads after the header, opaque; false when the file
// ends inside it.
bool ReadPalette(std::span<const std::uint8_t> bytes, const THead& h, TPalette& palette, std::uint32_t& count) {
  count = h.colors ? h.colors : 1u << h.bits;
  const std::size_t entry = h.headerSize == 12 || h.headerSize == 64 ? 3 : 4;
  const std::size_t at = 14 + std::size_t(h.headerSize);
  if (at > bytes.size() || (bytes.size() - at) / entry < count) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* p = bytes.data() + at + i * entry;
    palette[i] = {p[0], p[1], p[2], 255};
  }
  return true;
}

struct TPicture {
  std::uint8_t* rows;
  std::size_t width, height;
  bool bottomUp;
  // Row `r` as stored in the file.
  std::uint8_t* Row(std::size_t r) const { return rows + (bottomUp ? height - 1 - r : r) * width * 4; }
};

// Rows stored as they are shown, each padded to 4 bytes.
TFileResult<> ReadPlainRows(std::span<const std::uint8_t> data, const THead& h, const TPalette& palette,
                            std::uint32_t colors, const TPicture& picture, std::size_t rowBytes) {
  std::array<std::uint32_t, 4> masks = h.masks;
  if (h.compression == kRgb) masks = h.bits == 16 ? std::array<std::uint32_t, 4>{0x7C00, 0x3E0, 0x1F, 0}
                                                  : std::array<std::uint32_t, 4>{0xFF0000, 0xFF00, 0xFF, 0xFF000000};
  const TField red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
  for (std::size_t r = 0; r < picture.height; ++r) {
    const std::uint8_t* in = data.data() + r * rowBytes;
    std::uint8_t* out = picture.Row(r);
    for (std::size_t x = 0; x < picture.width; ++x, out += 4) {
      if (h.bits == 24) {
        out[0] = in[3 * x], out[1] = in[3 * x + 1], out[2] = in[3 * x + 2], out[3] = 255;
      } else if (h.bits >= 16) {
        std::uint32_t pixel = in[2 * x] | in[2 * x + 1] << 8;
        if (h.bits == 32) pixel = in[4 * x] | in[4 * x + 1] << 8 | in[4 * x + 2] << 16 | std::uint32_t(in[4 * x + 3]) << 24;
        out[0] = blue.Of(pixel), out[1] = green.Of(pixel), out[2] = red.Of(pixel);
        out[3] = masks[3] ? alpha.Of(pixel) : 255;
      } else {
        const std::size_t bit = x * h.bits;
        const unsigned index = (in[bit / 8] >> (8 - h.bits - bit % 8)) & ((1u << h.bits) - 1);
        if (index >= colors) return PictureDamaged("a colour index beyond the colour map");
        std::memcpy(out, palette[index].data(), 4);
      }
    }
  }
  return {};
}

// Run-length rows, followed through the picture as one run of bottom-up
// positions, as the library does: a run goes on into the next row, an end of
// line or a move jumps, pixels never written keep colour 0, and the data must
// reach the last position. An index beyond the palette fails the picture only
// if no later run covers it: it is written with alpha 0 (palette colours are
// opaque) and looked for at the end.
class TRunDecoder {
 public:
  TRunDecoder(TCursor& c, const THead& h, const TPalette& palette, std::uint32_t colors, const TPicture& picture)
      : c_(c), four_(h.compression == kRle4), palette_(palette), colors_(colors), picture_(picture),
        end_(picture.width * picture.height) {}

  TFileResult<> Decode() {
    for (std::size_t r = 0; r < picture_.height; ++r) {
      std::uint8_t* out = picture_.Row(r);
      for (std::size_t x = 0; x < picture_.width; ++x) std::memcpy(out + 4 * x, palette_[0].data(), 4);
    }
    if (!Runs()) return PictureDamaged("the run-length data ends early");
    if (at_ < end_) return PictureDamaged("the run-length data stops before the last pixel");
    if (c_.ended) return PictureDamaged("the file ends early");
    if (strayIndex_ && HasStrayIndex()) return PictureDamaged("a colour index beyond the colour map");
    return {};
  }

 private:
  // False when the file ends inside a code.
  bool Runs() {
    std::size_t y = 0;
    while (y < picture_.height && at_ < end_) {
      const int count = c_.Byte();
      if (count < 0) return false;
      if (count > 0) {
        const int value = c_.Byte();
        if (value < 0) return false;
        Put(Clip(count), [&](std::size_t i) { return four_ ? (i & 1 ? value & 15 : value >> 4) : value; });
        continue;
      }
      const int code = c_.Byte();
      if (code < 0) return false;
      if (code == 1) return true;  // end of the picture: no end-of-line bytes follow
      if (code == 0) {
        at_ = ++y * picture_.width;
      } else if (code == 2) {
        const int dx = c_.Byte(), dy = c_.Byte();
        if (dx < 0 || dy < 0) return false;
        y += std::size_t(dy);
        at_ += std::size_t(dx) + std::size_t(dy) * picture_.width;
      } else if (!Literal(Clip(code))) {
        return false;
      }
    }
    c_.Byte();  // the last end of line, read whether or not it is there
    c_.Byte();
    return true;
  }

  std::size_t Clip(int count) const { return std::min(std::size_t(count), end_ - at_); }

  bool Literal(std::size_t count) {
    bool ok = true;
    int byte = 0;
    Put(count, [&](std::size_t i) {
      if (!four_ || !(i & 1)) byte = c_.Byte();
      ok = ok && byte >= 0;
      return four_ ? (i & 1 ? byte & 15 : byte >> 4) : byte;
    });
    // Each literal is padded to a 16-bit boundary.
    const bool padded = four_ ? (count & 3) == 1 || (count & 3) == 2 : (count & 1) != 0;
    return ok && (!padded || c_.Byte() >= 0);
  }

  template <typename TIndexAt>
  void Put(std::size_t count, const TIndexAt& indexAt) {
    for (std::size_t i = 0; i < count; ++i, ++at_) {
      std::uint8_t* out = picture_.Row(at_ / picture_.width) + at_ % picture_.width * 4;
      const int index = indexAt(i);
      if (index >= 0 && unsigned(index) < colors_) {
        std::memcpy(out, palette_[std::size_t(index)].data(), 4);
      } else {
        std::memset(out, 0, 4);
        strayIndex_ = true;
      }
    }
  }

  bool HasStrayIndex() const {
    for (std::size_t r = 0; r < picture_.height; ++r) {
      const std::uint8_t* row = picture_.Row(r);
      for (std::size_t x = 0; x < picture_.width; ++x)
        if (row[4 * x + 3] == 0) return true;
    }
    return false;
  }

  TCursor& c_;
  const bool four_;
  const TPalette& palette_;
  const std::uint32_t colors_;
  const TPicture& picture_;
  const std::size_t end_;
  std::size_t at_ = 0;
  bool strayIndex_ = false;
};
}  // namespace

TDirectResult ReadBmp(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                      const IImagingModule::TTarget& target) {
  THead h;
  if (!ReadHead(bytes, h)) return TDirectRead::kNotMine;
  if (h.bits >= 16 && !(Contiguous(h.masks[0]) && Contiguous(h.masks[1]) && Contiguous(h.masks[2]) &&
                        Contiguous(h.masks[3])))
    return TDirectRead::kNotMine;
  if (h.bits == 16 && h.compression == kRgb && h.masks[3] != 0) return TDirectRead::kNotMine;
  TPalette palette{};
  std::uint32_t colors = 0;
  if (h.bits < 16 && !ReadPalette(bytes, h, palette, colors)) return TDirectRead::kNotMine;

  // The library's checks of the data's size, before it allocates: uncompressed
  // rows must all be in the file, and runs may not claim more than 254 times the
  // bytes that follow.
  const std::size_t width = std::size_t(h.width), height = std::size_t(h.height < 0 ? -h.height : h.height);
  const std::size_t rowBytes = (width * (h.compression == kRle4 ? 8 : h.bits) + 31) / 32 * 4;
  const std::size_t offset = h.offsetBits;
  const std::size_t remaining = offset < bytes.size() ? bytes.size() - offset : 0;
  const bool runs = h.compression == kRle8 || h.compression == kRle4;
  if (runs ? remaining == 0 || double(rowBytes) * double(height) / double(remaining) > 254.0
           : remaining / rowBytes < height)
    return TDirectRead::kNotMine;

  if (!accept(width, height, "BMP")) return TDirectRead::kStopped;
  std::uint8_t* rows = target(width, height);
  if (!rows) return TDirectRead::kStopped;
  const TPicture picture{rows, width, height, h.height > 0};
  TCursor c{bytes, offset};
  const TFileResult<> read = runs ? TRunDecoder(c, h, palette, colors, picture).Decode()
                                  : ReadPlainRows(bytes.subspan(offset), h, palette, colors, picture, rowBytes);
  if (!read) return read.Error();
  return TDirectRead::kRead;
}
