// PNG through libpng, row by row into the caller's rows (interlaced pictures
// pass by pass over them), as the imaging library reads it: 16-bit samples
// divided by 257 and truncated, no gamma applied, transparency as alpha.
// Interlaced 16-bit pictures go to the imaging library (their passes would need
// the whole picture at 16 bits).
#include <png.h>

#include <cstring>
#include <vector>

#include "picture/module/DirectReaders.h"

// libpng reports fatal errors by a jump back to the guarded call: only plain data
// lives in the frames that setjmp guards, so the jump skips no destructor.
namespace {
struct TPngSource {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at;
  char error[200];
};

void ReadPngBytes(png_structp png, png_bytep out, png_size_t length) {
  auto* source = static_cast<TPngSource*>(png_get_io_ptr(png));
  if (length > source->size - source->at) png_error(png, "the file ends early");
  std::memcpy(out, source->data + source->at, length);
  source->at += length;
}

void OnPngError(png_structp png, png_const_charp message) {
  auto* source = static_cast<TPngSource*>(png_get_error_ptr(png));
  std::strncpy(source->error, message, sizeof source->error - 1);
  png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

struct TPng {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~TPng() { png_destroy_read_struct(&png, &info, nullptr); }
};

bool ReadInfo(TPng& p, TPngSource& source) {
  if (setjmp(png_jmpbuf(p.png))) return false;
  png_set_read_fn(p.png, &source, ReadPngBytes);
  // Text and other side chunks are skipped, whatever they claim.
  png_set_chunk_malloc_max(p.png, 8 << 20);
  png_read_info(p.png, p.info);
  return true;
}

// Every colour type to B, G, R, A, `bytes` (1 or 2) a sample; false when the
// rows would come out any other way.
bool SetTransforms(TPng& p, int bytes, int& passes) {
  if (setjmp(png_jmpbuf(p.png))) return false;
  png_set_expand(p.png);  // palette to RGB, grey to 8 bits, tRNS to alpha
  png_set_gray_to_rgb(p.png);
  png_set_bgr(p.png);
  png_set_add_alpha(p.png, 0xFFFF, PNG_FILLER_AFTER);
  passes = png_set_interlace_handling(p.png);
  png_read_update_info(p.png, p.info);
  return png_get_rowbytes(p.png, p.info) == std::size_t(png_get_image_width(p.png, p.info)) * 4 * bytes;
}

// 16-bit rows come through `wide`, a row of them, and are divided down.
bool ReadRows(TPng& p, std::uint8_t* rows, png_uint_32 width, png_uint_32 height, int passes, std::uint8_t* wide) {
  if (setjmp(png_jmpbuf(p.png))) return false;
  for (int pass = 0; pass < passes; ++pass)
    for (png_uint_32 y = 0; y < height; ++y) {
      std::uint8_t* row = rows + std::size_t(y) * width * 4;
      if (!wide) {
        png_read_row(p.png, row, nullptr);
        continue;
      }
      png_read_row(p.png, wide, nullptr);
      for (std::size_t i = 0; i < std::size_t(width) * 4; ++i)
        row[i] = std::uint8_t(((wide[2 * i] << 8) | wide[2 * i + 1]) / 257);
    }
  return true;
}
}  // namespace

TDirectResult ReadPng(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                      const IImagingModule::TTarget& target) {
  if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return TDirectRead::kNotMine;
  TPngSource source{bytes.data(), bytes.size(), 0, {}};
  TPng p;
  p.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, OnPngError, OnPngWarning);
  if (p.png) p.info = png_create_info_struct(p.png);
  // A head libpng cannot take is the imaging library's to judge.
  if (!p.info || !ReadInfo(p, source)) return TDirectRead::kNotMine;
  const png_uint_32 width = png_get_image_width(p.png, p.info);
  const png_uint_32 height = png_get_image_height(p.png, p.info);
  if (!accept(width, height, "PNG")) return TDirectRead::kStopped;
  const int bytesPerSample = png_get_bit_depth(p.png, p.info) == 16 ? 2 : 1;
  if (bytesPerSample == 2 && png_get_interlace_type(p.png, p.info) != PNG_INTERLACE_NONE) return TDirectRead::kNotMine;
  int passes = 1;
  if (!SetTransforms(p, bytesPerSample, passes)) return TDirectRead::kNotMine;
  std::vector<std::uint8_t> wide(bytesPerSample == 2 ? std::size_t(width) * 8 : 0);
  std::uint8_t* rows = target(width, height);
  if (!rows) return TDirectRead::kStopped;
  if (ReadRows(p, rows, width, height, passes, wide.empty() ? nullptr : wide.data())) return TDirectRead::kRead;
  return PictureDamaged(source.error);
}
