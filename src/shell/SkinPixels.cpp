#include "shell/SkinPixels.h"

#include <algorithm>

#include "picture/BitmapRoutines.h"
#include "platform/Numeric.h"

TRect FrameRect(const TFrameGrid& grid, int index, int controlWidth, int controlHeight) {
  if (index < 0) return {};
  const int cols = std::max(grid.Cols, 1);
  const int width = grid.Width != 0 ? grid.Width : controlWidth;
  const int height = grid.Height != 0 ? grid.Height : controlHeight;
  const std::int64_t x = std::int64_t(grid.Left) + std::int64_t(index % cols) * width;
  const std::int64_t y = std::int64_t(grid.Top) + std::int64_t(index / cols) * height;
  if (x < INT32_MIN / 2 || x > INT32_MAX / 2 || y < INT32_MIN / 2 || y > INT32_MAX / 2) return {};
  return Bounds(int(x), int(y), width, height);
}

bool SheetPointOf(const TRect& frame, int controlWidth, int controlHeight, int x, int y,
                  int* sheetX, int* sheetY) {
  if (frame.IsEmpty() || x < 0 || y < 0 || x >= controlWidth || y >= controlHeight) return false;
  // Nearest pixel, the same mapping for drawing and hit testing.
  const std::int64_t dx = std::int64_t(x) * frame.Width() / controlWidth;
  const std::int64_t dy = std::int64_t(y) * frame.Height() / controlHeight;
  *sheetX = int(frame.Left + dx);
  *sheetY = int(frame.Top + dy);
  return true;
}

TBitmap32 ExtractFrame(const TBitmap32& sheet, const TRect& frame, int width, int height) {
  TBitmap32 result(width, height, 0);
  if (result.Empty() || frame.IsEmpty()) return result;
  const TBitmap32 cut = CropBitmap(sheet, frame.Left, frame.Top, frame.Width(), frame.Height());
  if (cut.Width() == width && cut.Height() == height) return cut;
  StretchDrawNearest(result, Bounds(0, 0, width, height), cut);
  return result;
}

bool FrameHitTest(const TBitmap32& sheet, const TRect& frame, int controlWidth, int controlHeight,
                  int x, int y, int activeAlpha) {
  int sx = 0, sy = 0;
  if (sheet.Empty() || !SheetPointOf(frame, controlWidth, controlHeight, x, y, &sx, &sy)) return false;
  if (!sheet.Contains(sx, sy)) return false;
  return AlphaOf(*sheet.PixelPtr(sx, sy)) >= activeAlpha;
}

void RecolorFrame(TBitmap32& frame, std::uint32_t color) {
  if (color == clNone) return;
  const std::uint8_t threshold = std::uint8_t(color >> 24);
  const TColor32 rgb = Color32(std::uint8_t(color), std::uint8_t(color >> 8), std::uint8_t(color >> 16), 0);
  for (int y = 0; y < frame.Height(); ++y) {
    TColor32* p = frame.PixelPtr(0, y);
    for (int x = 0; x < frame.Width(); ++x)
      if (AlphaOf(p[x]) >= threshold) p[x] = (p[x] & 0xFF000000u) | rgb;
  }
}

std::uint8_t BlendChannel(std::uint8_t under, std::uint8_t over, double f) {
  const std::int64_t value = RoundHalfEven((1.0 - f) * under) + RoundHalfEven(f * over);
  return std::uint8_t(std::clamp<std::int64_t>(value, 0, 255));
}

namespace {

TColor32 BlendPixel(TColor32 under, TColor32 over, double f) {
  return (under & 0xFF000000u) | (TColor32(BlendChannel(RedOf(under), RedOf(over), f)) << 16) |
         (TColor32(BlendChannel(GreenOf(under), GreenOf(over), f)) << 8) |
         TColor32(BlendChannel(BlueOf(under), BlueOf(over), f));
}

}  // namespace

void BlendFrame(TBitmap32& buffer, const TBitmap32& frame, int transparency) {
  if (transparency >= 100) return;
  // A fade may pass below 0; the frame is never drawn stronger than its own alpha.
  const double strength = 1.0 - std::max(transparency, 0) / 100.0;
  const int width = std::min(buffer.Width(), frame.Width());
  const int height = std::min(buffer.Height(), frame.Height());
  for (int y = 0; y < height; ++y) {
    TColor32* out = buffer.PixelPtr(0, y);
    const TColor32* in = frame.PixelPtr(0, y);
    for (int x = 0; x < width; ++x) {
      const std::uint8_t a = AlphaOf(in[x]);
      if (a != 0) out[x] = BlendPixel(out[x], in[x], a / 255.0 * strength);
    }
  }
}

void BlendFrameAt(TBitmap32& buffer, const TBitmap32& frame, int left, int top) {
  for (int y = 0; y < frame.Height(); ++y) {
    const int by = top + y;
    if (by < 0 || by >= buffer.Height()) continue;
    const TColor32* in = frame.PixelPtr(0, y);
    for (int x = 0; x < frame.Width(); ++x) {
      const int bx = left + x;
      const std::uint8_t a = AlphaOf(in[x]);
      if (a == 0 || bx < 0 || bx >= buffer.Width()) continue;
      TColor32* out = buffer.PixelPtr(bx, by);
      *out = BlendPixel(*out, in[x], a / 255.0);
    }
  }
}

void CopyFrameOpaque(TBitmap32& buffer, const TBitmap32& frame) {
  const int width = std::min(buffer.Width(), frame.Width());
  const int height = std::min(buffer.Height(), frame.Height());
  for (int y = 0; y < height; ++y) {
    TColor32* out = buffer.PixelPtr(0, y);
    const TColor32* in = frame.PixelPtr(0, y);
    for (int x = 0; x < width; ++x) out[x] = in[x] | 0xFF000000u;
  }
}

TBitmap32 CropBitmap(const TBitmap32& source, int left, int top, int width, int height) {
  TBitmap32 result(width, height, 0);
  DrawBitmap(result, -left, -top, source);
  return result;
}

TBitmap32 ComposeButtonBuffer(const TBitmap32& background, const TBitmap32& frame, bool blending,
                              bool frameBlendable, int transparency) {
  TBitmap32 buffer(frame.Width(), frame.Height(), 0);
  if (blending) {
    DrawBitmap(buffer, 0, 0, background);
    if (frameBlendable && transparency <= 100) BlendFrame(buffer, frame, transparency);
  } else {
    CopyFrameOpaque(buffer, frame);
  }
  return buffer;
}
