#include "picture/Jpeg.h"

#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include "picture/PictureLimits.h"
#include "platform/FileIO.h"
#include "platform/Numeric.h"

// libjpeg reports fatal errors through error_exit, which must not return: jump
// back to the guarded call. Only plain data lives in the frames that setjmp
// guards, so the jump skips no destructor.
namespace {
struct TJpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) { std::longjmp(reinterpret_cast<TJpegError*>(info->err)->jump, 1); }
void OnJpegMessage(j_common_ptr, int) {}  // warnings are not printed

struct TDecoder {
  jpeg_decompress_struct info{};
  TJpegError error{};
  TDecoder() {
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    error.manager.emit_message = OnJpegMessage;
  }
};

// Creates the decompressor and reads the header; false on any error. The
// decompressor is left created either way (the caller destroys it).
bool ReadHeader(TDecoder& d, const std::uint8_t* data, std::size_t size) {
  if (setjmp(d.error.jump)) return false;
  jpeg_create_decompress(&d.info);
  d.info.mem->max_memory_to_use = kDecodeBudgetBytes;
  jpeg_mem_src(&d.info, data, static_cast<unsigned long>(size));
  return jpeg_read_header(&d.info, TRUE) == JPEG_HEADER_OK;
}

// Sets the largest scale 1/1, 1/2, 1/4 or 1/8 at which the header's picture
// decodes within the caps; 0 when none does.
int ChooseScale(TDecoder& d) {
  if (setjmp(d.error.jump)) return 0;
  for (unsigned scale = 1; scale <= 8; scale *= 2) {
    d.info.scale_num = 1;
    d.info.scale_denom = scale;
    jpeg_calc_output_dimensions(&d.info);
    if (PictureSizeAccepted(d.info.output_width, d.info.output_height)) return int(scale);
  }
  return 0;
}

bool DecodeRows(TDecoder& d, TBitmap32& bitmap) {
  if (setjmp(d.error.jump)) return false;
  d.info.out_color_space = JCS_EXT_BGRA;
  jpeg_start_decompress(&d.info);
  if (d.info.output_width != JDIMENSION(bitmap.Width()) || d.info.output_height != JDIMENSION(bitmap.Height())) {
    jpeg_abort_decompress(&d.info);
    return false;
  }
  std::uint8_t* pixels = bitmap.Bits();
  while (d.info.output_scanline < d.info.output_height) {
    JSAMPROW row = pixels + std::size_t(d.info.output_scanline) * bitmap.Stride();
    jpeg_read_scanlines(&d.info, &row, 1);
  }
  jpeg_finish_decompress(&d.info);
  return true;
}

bool EncodeRows(jpeg_compress_struct& info, TJpegError& error, const TBitmap32& bitmap, int quality,
                TJpegChroma chroma, unsigned char** out, unsigned long* outSize) {
  if (setjmp(error.jump)) return false;
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, out, outSize);
  info.image_width = static_cast<JDIMENSION>(bitmap.Width());
  info.image_height = static_cast<JDIMENSION>(bitmap.Height());
  info.input_components = 4;
  info.in_color_space = JCS_EXT_BGRA;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  if (chroma == TJpegChroma::kFull) {
    for (int c = 0; c < info.num_components; ++c) info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    info.density_unit = 1;
    info.X_density = info.Y_density = 72;
  }
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(bitmap.Row(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  return true;
}
}  // namespace

std::optional<TJpegInfo> ReadJpegInfo(std::span<const std::uint8_t> data) {
  if (data.empty()) return std::nullopt;
  TDecoder d;
  const bool ok = ReadHeader(d, data.data(), data.size());
  TJpegInfo info{static_cast<int>(d.info.image_width), static_cast<int>(d.info.image_height),
                 d.info.num_components};
  const bool colour = d.info.jpeg_color_space == JCS_GRAYSCALE || d.info.jpeg_color_space == JCS_YCbCr ||
                      d.info.jpeg_color_space == JCS_RGB;
  if (ok && colour) {
    info.Scale = ChooseScale(d);
    info.DecodedWidth = static_cast<int>(d.info.output_width);
    info.DecodedHeight = static_cast<int>(d.info.output_height);
  }
  jpeg_destroy_decompress(&d.info);
  if (!ok || !colour || info.Scale == 0) return std::nullopt;
  return info;
}

TFileResult<TBitmap32> DecodeJpeg(std::span<const std::uint8_t> data, const std::filesystem::path& file) {
  const TFileError invalid = FileError(TFileFault::Damaged, file, 0, "Invalid JPEG picture");
  auto info = ReadJpegInfo(data);
  if (!info) return invalid;
  // Every row is decoded into the picture, or the picture is dropped.
  TBitmap32 bitmap = TBitmap32::ForOverwrite(info->DecodedWidth, info->DecodedHeight);
  if (bitmap.Empty() && info->DecodedWidth > 0 && info->DecodedHeight > 0) return invalid;
  TDecoder d;
  bool ok = ReadHeader(d, data.data(), data.size());
  if (ok) {
    d.info.scale_num = 1;
    d.info.scale_denom = static_cast<unsigned>(info->Scale);
    d.info.mem->max_memory_to_use = kDecodeBudgetBytes - static_cast<long>(bitmap.ByteSize());
  }
  ok = ok && DecodeRows(d, bitmap);
  // Beyond the working memory the library asks for a backing store it does not have.
  const int failure = d.error.manager.msg_code;
  jpeg_destroy_decompress(&d.info);
  if (ok) return bitmap;
  if (failure == JERR_NO_BACKING_STORE || failure == JERR_OUT_OF_MEMORY)
    return FileError(TFileFault::TooLarge, file, 0, PictureTooLargeText(info->Width, info->Height));
  return invalid;
}

std::vector<std::uint8_t> EncodeJpeg(const TBitmap32& bitmap, int quality, TJpegChroma chroma) {
  if (bitmap.Empty()) return {};
  jpeg_compress_struct info{};
  TJpegError error{};
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = OnJpegError;
  error.manager.emit_message = OnJpegMessage;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const bool ok = EncodeRows(info, error, bitmap, std::clamp(quality, 1, 100), chroma, &buffer, &size);
  jpeg_destroy_compress(&info);
  std::vector<std::uint8_t> result;
  if (ok && buffer) result.assign(buffer, buffer + size);
  std::free(buffer);
  return result;
}

int QualityFromFactor(int factor) {
  // Linear through (2, 100) and (16, 90), the factor the program uses.
  return std::clamp(RoundInt(100 - (factor - 2) * 10.0 / 14.0), 1, 100);
}

std::optional<TJpegImage> TJpegImage::FromBytes(std::vector<std::uint8_t> data) {
  auto info = ReadJpegInfo(data);
  if (!info) return std::nullopt;
  TJpegImage image;
  image.data_ = std::move(data);
  image.width_ = info->Width;
  image.height_ = info->Height;
  return image;
}

TJpegImage TJpegImage::FromBitmap(const TBitmap32& bitmap, int quality) {
  TJpegImage image;
  image.data_ = EncodeJpeg(bitmap, quality);
  if (!image.data_.empty()) {
    image.width_ = bitmap.Width();
    image.height_ = bitmap.Height();
  }
  return image;
}

TFileResult<> TJpegImage::SaveToFile(const std::filesystem::path& path) const { return WriteFileAtomic(path, data_); }
