// TIFF through libtiff, a scanline at a time into the caller's rows: the first
// picture when it is in strips, chunky, unsigned, and grey, palette (1 to 8 bits
// a sample) or RGB (8 bits), with unassociated alpha or none. Tiles, planes,
// 16-bit samples, CMYK, YCbCr and premultiplied alpha go to the imaging library.
#include <tiffio.h>

#include <cstdarg>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "picture/module/DirectReaders.h"

namespace {
struct TTiffSource {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at;
  std::string error;
};

tmsize_t ReadTiffBytes(thandle_t handle, void* out, tmsize_t length) {
  auto* source = static_cast<TTiffSource*>(handle);
  if (length < 0 || source->at > source->size) return -1;
  const std::size_t n = std::min(std::size_t(length), source->size - source->at);
  std::memcpy(out, source->data + source->at, n);
  source->at += n;
  return tmsize_t(n);
}
tmsize_t WriteTiffBytes(thandle_t, void*, tmsize_t) { return -1; }
toff_t SeekTiff(thandle_t handle, toff_t offset, int whence) {
  auto* source = static_cast<TTiffSource*>(handle);
  toff_t base = whence == SEEK_CUR ? source->at : whence == SEEK_END ? source->size : 0;
  if (offset > toff_t(-1) - base) return toff_t(-1);
  source->at = std::size_t(base + offset);
  return base + offset;
}
int CloseTiff(thandle_t) { return 0; }
toff_t TiffSize(thandle_t handle) { return static_cast<TTiffSource*>(handle)->size; }
// The bytes are mapped as they are: strips are decoded from them, not copied.
int MapTiff(thandle_t handle, void** base, toff_t* size) {
  auto* source = static_cast<TTiffSource*>(handle);
  *base = const_cast<std::uint8_t*>(source->data);
  *size = source->size;
  return 1;
}
void UnmapTiff(thandle_t, void*, toff_t) {}

int OnTiffError(TIFF*, void* user, const char*, const char* format, va_list args) {
  char text[200];
  std::vsnprintf(text, sizeof text, format, args);
  static_cast<TTiffSource*>(user)->error = text;
  return 1;
}
int OnTiffWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TTiffClose {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

// How the first picture's samples become B, G, R, A.
struct TLayout {
  std::uint32_t width = 0, height = 0;
  std::uint16_t bits = 0, samples = 0, photometric = 0;
  bool alpha = false;  // the sample after the colour ones is unassociated alpha
  std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
};

std::uint16_t Field16(TIFF* tiff, ttag_t tag) {
  std::uint16_t value = 0;
  TIFFGetFieldDefaulted(tiff, tag, &value);
  return value;
}

// The layout of a picture we decode, else false.
bool ReadLayout(TIFF* tiff, TLayout& l) {
  if (TIFFIsTiled(tiff) || !TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &l.width) ||
      !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &l.height) || !TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &l.photometric))
    return false;
  l.bits = Field16(tiff, TIFFTAG_BITSPERSAMPLE);
  l.samples = Field16(tiff, TIFFTAG_SAMPLESPERPIXEL);
  if (Field16(tiff, TIFFTAG_PLANARCONFIG) != PLANARCONFIG_CONTIG ||
      Field16(tiff, TIFFTAG_SAMPLEFORMAT) != SAMPLEFORMAT_UINT || l.width == 0 || l.height == 0)
    return false;
  const bool rgb = l.photometric == PHOTOMETRIC_RGB;
  const bool grey = l.photometric == PHOTOMETRIC_MINISBLACK || l.photometric == PHOTOMETRIC_MINISWHITE;
  const bool palette = l.photometric == PHOTOMETRIC_PALETTE;
  const std::uint16_t colours = rgb ? 3 : 1;
  if (!(rgb ? l.bits == 8 : (grey || palette) && (l.bits == 1 || l.bits == 2 || l.bits == 4 || l.bits == 8)) ||
      l.samples < colours || (l.samples > colours && l.bits != 8))
    return false;
  std::uint16_t extras = 0;
  std::uint16_t* kinds = nullptr;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &extras, &kinds);
  for (std::uint16_t i = 0; i < extras; ++i)
    if (kinds[i] == EXTRASAMPLE_ASSOCALPHA) return false;
  l.alpha = extras > 0 && l.samples > colours && kinds[0] == EXTRASAMPLE_UNASSALPHA;
  return !palette || TIFFGetField(tiff, TIFFTAG_COLORMAP, &l.red, &l.green, &l.blue);
}

// The colour map holds 16-bit values: divided by 257 and truncated, as the
// imaging library brings them to 8 bits.
std::uint8_t Palette8(std::uint16_t v) { return std::uint8_t(v / 257); }

void ConvertRow(const TLayout& l, const std::uint8_t* in, std::uint8_t* out) {
  const unsigned mask = (1u << l.bits) - 1;
  for (std::uint32_t x = 0; x < l.width; ++x, out += 4) {
    if (l.photometric == PHOTOMETRIC_RGB) {
      const std::uint8_t* s = in + std::size_t(x) * l.samples;
      out[0] = s[2], out[1] = s[1], out[2] = s[0], out[3] = l.alpha ? s[3] : 255;
      continue;
    }
    unsigned v;
    if (l.bits == 8) {
      v = in[std::size_t(x) * l.samples];
    } else {
      const std::size_t bit = std::size_t(x) * l.bits;
      v = (in[bit / 8] >> (8 - l.bits - bit % 8)) & mask;
    }
    out[3] = l.alpha ? in[std::size_t(x) * l.samples + 1] : 255;
    if (l.photometric == PHOTOMETRIC_PALETTE) {
      out[0] = Palette8(l.blue[v]), out[1] = Palette8(l.green[v]), out[2] = Palette8(l.red[v]);
      continue;
    }
    if (l.photometric == PHOTOMETRIC_MINISWHITE) v = mask - v;
    out[0] = out[1] = out[2] = std::uint8_t(v * 255 / mask);
  }
}
}  // namespace

TDirectResult ReadTiff(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                       const IImagingModule::TTarget& target) {
  if (bytes.size() < 8 || (std::memcmp(bytes.data(), "II*", 3) != 0 && std::memcmp(bytes.data(), "MM\0*", 4) != 0))
    return TDirectRead::kNotMine;
  TTiffSource source{bytes.data(), bytes.size(), 0, {}};
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (!options) return TDirectRead::kNotMine;
  TIFFOpenOptionsSetErrorHandlerExtR(options, OnTiffError, &source);
  TIFFOpenOptionsSetWarningHandlerExtR(options, OnTiffWarning, nullptr);
  // No single working buffer beyond what a strip of the widest picture needs.
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, 64 << 20);
  std::unique_ptr<TIFF, TTiffClose> tiff(TIFFClientOpenExt("picture", "r", &source, ReadTiffBytes, WriteTiffBytes,
                                                           SeekTiff, CloseTiff, TiffSize, MapTiff, UnmapTiff,
                                                           options));
  TIFFOpenOptionsFree(options);
  TLayout layout;
  if (!tiff || !ReadLayout(tiff.get(), layout)) return TDirectRead::kNotMine;
  const tmsize_t lineSize = TIFFScanlineSize(tiff.get());
  if (lineSize <= 0) return TDirectRead::kNotMine;
  if (!accept(layout.width, layout.height, "TIFF")) return TDirectRead::kStopped;
  std::uint8_t* rows = target(layout.width, layout.height);
  if (!rows) return TDirectRead::kStopped;
  std::vector<std::uint8_t> line(static_cast<std::size_t>(lineSize));
  for (std::uint32_t y = 0; y < layout.height; ++y) {
    if (TIFFReadScanline(tiff.get(), line.data(), y, 0) < 0)
      return PictureDamaged(source.error.empty() ? "damaged TIFF" : source.error);
    ConvertRow(layout, line.data(), rows + std::size_t(y) * layout.width * 4);
  }
  return TDirectRead::kRead;
}
