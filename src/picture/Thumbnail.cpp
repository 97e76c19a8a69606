// Thumbnails and previews of works and elements.
#include "picture/BitmapRoutines.h"

namespace {
constexpr int kPreviewQuality = 70;

// The drawn rectangle of a picture of w x h inside a canvas of W x H.
TRect ThumbnailPlace(int w, int h, int W, int H) {
  if (w == W && h == H) return {0, 0, W, H};
  if (w < W && h < H) return Bounds((W - w) / 2, (H - h) / 2, w, h);
  // Fit by the side that limits: for a square canvas that is the longer side.
  if (std::int64_t(h) * W <= std::int64_t(H) * w) {
    const int drawn = static_cast<int>(std::int64_t(h) * W / w);
    return Bounds(0, (H - drawn) / 2, W, drawn);
  }
  const int drawn = static_cast<int>(std::int64_t(w) * H / h);
  return Bounds((W - drawn) / 2, 0, drawn, H);
}
}  // namespace

TBitmap32 ThumbnailCanvas(const TBitmap32& picture, int width, TColor32 background, int height) {
  TBitmap32 canvas;
  if (width <= 0 || height <= 0 || !canvas.SetSize(width, height, background | 0xFF000000u)) return {};
  if (picture.Empty()) return canvas;
  const TRect place = ThumbnailPlace(picture.Width(), picture.Height(), width, height);
  TBitmap32 drawn;
  if (place.IsEmpty() || !drawn.SetSize(place.Width(), place.Height())) return canvas;
  // The premultiplied stretch leaves transparent areas black: lay it over the
  // background instead of copying it.
  StretchDrawBilinear32(drawn, {0, 0, drawn.Width(), drawn.Height()}, picture);
  for (int y = 0; y < drawn.Height(); ++y) {
    const std::uint8_t* s = drawn.Row(y);
    std::uint8_t* d = canvas.Row(place.Top + y) + 4 * std::size_t(place.Left);
    for (int x = 0; x < drawn.Width(); ++x, s += 4, d += 4) {
      const int uncovered = 255 - s[3];
      for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint8_t>(s[c] + d[c] * uncovered / 255);
    }
  }
  return canvas;
}

std::optional<TJpegImage> MakeThumbnail(const TBitmap32& picture, int width, TColor32 background, int height) {
  TBitmap32 canvas = ThumbnailCanvas(picture, width, background, height);
  if (canvas.Empty()) return std::nullopt;
  return TJpegImage::FromBitmap(canvas, kPreviewQuality);
}

std::optional<TJpegImage> MakeJpegPreview(const TBitmap32& picture, int width, int height, TColor32 background) {
  TBitmap32 canvas;
  if (width <= 0 || height <= 0 || !canvas.SetSize(width, height, background)) return std::nullopt;
  StretchBlendInRect(canvas, {0, 0, width, height}, picture);
  return TJpegImage::FromBitmap(canvas, kPreviewQuality);
}
