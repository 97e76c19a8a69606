// WebP through libwebp, decoded into the caller's rows in B, G, R, A as the
// imaging library does (fancy upsampling, straight alpha). Animations go to the
// imaging library.
#include <webp/decode.h>

#include <cstring>

#include "picture/PictureLimits.h"
#include "picture/module/DirectReaders.h"

TDirectResult ReadWebp(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                       const IImagingModule::TTarget& target) {
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WEBP", 4) != 0)
    return TDirectRead::kNotMine;
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config) ||
      WebPGetFeatures(bytes.data(), bytes.size(), &config.input) != VP8_STATUS_OK || config.input.has_animation)
    return TDirectRead::kNotMine;
  const int width = config.input.width;
  const int height = config.input.height;
  if (!accept(std::size_t(width), std::size_t(height), "WEBP")) return TDirectRead::kStopped;
  // A lossless picture is decoded whole into the library's own pixels first.
  if (config.input.format == 2 && std::int64_t(width) * height * 8 > kDecodeBudgetBytes) {
    return PictureDamaged("the lossless WebP picture is " + std::to_string(width) + " x " + std::to_string(height) +
                          " pixels, more than the " + std::to_string(kDecodeBudgetBytes / 8) +
                          " such a picture may have (it takes twice its memory to decode)");
  }
  std::uint8_t* rows = target(std::size_t(width), std::size_t(height));
  if (!rows) return TDirectRead::kStopped;
  config.output.colorspace = MODE_BGRA;
  config.output.is_external_memory = 1;
  config.output.u.RGBA.rgba = rows;
  config.output.u.RGBA.stride = width * 4;
  config.output.u.RGBA.size = std::size_t(width) * std::size_t(height) * 4;
  const VP8StatusCode status = WebPDecode(bytes.data(), bytes.size(), &config);
  WebPFreeDecBuffer(&config.output);
  if (status == VP8_STATUS_OK) return TDirectRead::kRead;
  return PictureDamaged(status == VP8_STATUS_NOT_ENOUGH_DATA ? "the file ends early" : "damaged WebP picture");
}
