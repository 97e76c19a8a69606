#include <png.h>

#include "picture/module/DirectWriters.h"

// libpng reports fatal errors by a jump back to the guarded call: only plain data
// lives in the frames that setjmp guards, so the jump skips no destructor.
namespace {
void WritePngBytes(png_structp png, png_bytep data, png_size_t length) {
  if (!static_cast<TFileWriter*>(png_get_io_ptr(png))->Append({data, length})) png_error(png, "cannot write");
}
void FlushPng(png_structp) {}
void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

bool WriteRows(png_structp png, png_infop info, const std::uint8_t* bgra, int width, int height, TFileWriter& file) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &file, WritePngBytes, FlushPng);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 7);
  png_set_compression_mem_level(png, 9);
  // Data chunks of 32 KiB, as the imaging library cut them.
  png_set_compression_buffer_size(png, 32768);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
  png_write_info(png, info);
  png_set_bgr(png);
  png_set_filler(png, 0, PNG_FILLER_AFTER);  // on writing: the fourth byte is dropped
  for (int y = 0; y < height; ++y) png_write_row(png, bgra + std::size_t(y) * std::size_t(width) * 4);
  png_write_end(png, info);
  return true;
}
}  // namespace

bool WritePng24(const std::uint8_t* bgra, int width, int height, TFileWriter& file) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool written = info && WriteRows(png, info, bgra, width, height, file);
  png_destroy_write_struct(&png, &info);
  return written;
}
