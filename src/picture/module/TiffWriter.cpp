#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <memory>
#include <vector>

#include "picture/module/DirectWriters.h"

namespace {
// libtiff writes its header first and completes it once the directory follows
// the strips: writes behind the end replace bytes written, the rest append.
struct TTiffTarget {
  TFileWriter& file;
  std::uint64_t at = 0, size = 0;
};

tmsize_t ReadTiffBytes(thandle_t, void*, tmsize_t) { return -1; }
tmsize_t WriteTiffBytes(thandle_t handle, void* data, tmsize_t length) {
  auto* target = static_cast<TTiffTarget*>(handle);
  if (length < 0) return -1;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::uint64_t n = std::uint64_t(length);
  if (target->at < target->size) {
    const std::uint64_t inside = std::min(n, target->size - target->at);
    if (!target->file.Overwrite(target->at, {bytes, std::size_t(inside)})) return -1;
    target->at += inside;
    bytes += inside;
    n -= inside;
  }
  if (n > 0) {
    // A directory starts on a word boundary: the gap is zero.
    static const std::uint8_t zeros[8] = {};
    for (std::uint64_t gap = target->at - target->size; gap > 0; gap -= std::min<std::uint64_t>(gap, 8))
      if (!target->file.Append({zeros, std::size_t(std::min<std::uint64_t>(gap, 8))})) return -1;
    if (!target->file.Append({bytes, std::size_t(n)})) return -1;
    target->at += n;
    target->size = target->at;
  }
  return length;
}
toff_t SeekTiff(thandle_t handle, toff_t offset, int whence) {
  auto* target = static_cast<TTiffTarget*>(handle);
  const toff_t base = whence == SEEK_CUR ? target->at : whence == SEEK_END ? target->size : 0;
  target->at = base + offset;
  return target->at;
}
int CloseTiff(thandle_t) { return 0; }
toff_t TiffSize(thandle_t handle) { return static_cast<TTiffTarget*>(handle)->size; }
int MapTiff(thandle_t, void**, toff_t*) { return 0; }
void UnmapTiff(thandle_t, void*, toff_t) {}
int OnTiffMessage(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TTiffClose {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

constexpr std::uint64_t kStripBytes = 1 << 20;
}  // namespace

bool WriteTiff24(const std::uint8_t* bgra, int width, int height, TFileWriter& file) {
  TTiffTarget target{file};
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (!options) return false;
  TIFFOpenOptionsSetErrorHandlerExtR(options, OnTiffMessage, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options, OnTiffMessage, nullptr);
  std::unique_ptr<TIFF, TTiffClose> tiff(TIFFClientOpenExt("picture", "wl", &target, ReadTiffBytes, WriteTiffBytes,
                                                           SeekTiff, CloseTiff, TiffSize, MapTiff, UnmapTiff,
                                                           options));
  TIFFOpenOptionsFree(options);
  if (!tiff) return false;
  TIFF* t = tiff.get();
  const std::uint64_t rowBytes = std::uint64_t(width) * 3;
  const auto rowsPerStrip = std::uint32_t(std::clamp<std::uint64_t>(kStripBytes / rowBytes, 1, std::uint64_t(height)));
  if (!TIFFSetField(t, TIFFTAG_IMAGEWIDTH, std::uint32_t(width)) ||
      !TIFFSetField(t, TIFFTAG_IMAGELENGTH, std::uint32_t(height)) || !TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8) ||
      !TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3) || !TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT) ||
      !TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) ||
      !TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) ||
      !TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW) ||
      !TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL) ||
      !TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, rowsPerStrip) || !TIFFSetField(t, TIFFTAG_PAGENUMBER, 0, 1))
    return false;
  std::vector<std::uint8_t> line(static_cast<std::size_t>(rowBytes));
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* p = bgra + std::size_t(y) * std::size_t(width) * 4;
    std::uint8_t* out = line.data();
    for (int x = 0; x < width; ++x, p += 4, out += 3) {
      out[0] = p[2];
      out[1] = p[1];
      out[2] = p[0];
    }
    if (TIFFWriteScanline(t, line.data(), std::uint32_t(y), 0) < 0) return false;
  }
  // The directory goes out on closing; a failed write shows in the flush.
  if (!TIFFWriteDirectory(t)) return false;
  return true;
}
