// Pixel strokes of the warp, the colour brush and the eraser, their history
// items, and the colour pick.
#include <algorithm>
#include <cmath>

#include "editor/DeskGestures.h"
#include "picture/BitmapRoutines.h"
#include "picture/Layer.h"
#include "platform/Numeric.h"

namespace {

TBitmap32 CopyOfRect(const TBitmap32& source, const TRect& rect) {
  TBitmap32 out(rect.Width(), rect.Height());
  DrawBitmap(out, -rect.Left, -rect.Top, source);
  return out;
}

// One axis of a bilinear sample at `s` of `n` pixels: the two neighbours and the
// weight of the second, clamped to the picture (a single pixel is its own
// neighbour, and the last pixel samples exactly).
struct TAxis {
  int I0, I1;
  double F;
};
TAxis SampleAxis(double s, int n) {
  if (n <= 1 || s <= 0) return {0, std::min(1, n - 1), 0.0};
  if (s >= n - 1) return {n - 2, n - 1, 1.0};
  const int i = int(s);
  return {i, i + 1, s - i};
}

// Bilinear sample of `base`, each channel truncated.
TColor32 SampleBilinear(const TBitmap32& base, double sx, double sy) {
  const TAxis ax = SampleAxis(sx, base.Width()), ay = SampleAxis(sy, base.Height());
  const TColor32 p00 = *base.PixelPtr(ax.I0, ay.I0), p10 = *base.PixelPtr(ax.I1, ay.I0);
  const TColor32 p01 = *base.PixelPtr(ax.I0, ay.I1), p11 = *base.PixelPtr(ax.I1, ay.I1);
  TColor32 out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const double c00 = (p00 >> shift) & 0xFF, c10 = (p10 >> shift) & 0xFF;
    const double c01 = (p01 >> shift) & 0xFF, c11 = (p11 >> shift) & 0xFF;
    const double v = (c01 * (1 - ax.F) + c11 * ax.F) * ay.F + (c00 * (1 - ax.F) + c10 * ax.F) * (1 - ay.F);
    out |= TColor32(std::clamp(int(v), 0, 255)) << shift;
  }
  return out;
}

// The brush weight of a pixel at distance ratio d (< 1): 1 keeps the pixel.
double BrushWeight(double d, int power) {
  const double k = 1 - power / 100.0;
  return (1 - k) * d + k;
}

std::uint8_t Mix(int c, double f, int target) {
  return std::uint8_t(std::clamp(RoundInt(c * f + (1 - f) * target), 0, 255));
}

}  // namespace

// --- history ---

void CompleteUndoRect(TLayer& layer, TLayerHistoryKind kind) {
  if (layer.History().empty()) return;
  TLayerHistoryItem* item = layer.History().back().get();
  if (item->Kind != kind) return;
  const TRect rect = IntersectRects(item->Rect, layer.CanvasRect());
  if (rect.IsEmpty()) {
    layer.DeleteHistoryItem(item);
    return;
  }
  item->Rect = rect.Offset(-layer.Left, -layer.Top);
  if (kind == lhkWarp) {
    item->Bitmap = CopyOfRect(layer.BasePicture, item->Rect);
    DrawBitmap(layer.BasePicture, item->Rect.Left, item->Rect.Top, CopyOfRect(layer.Picture, item->Rect));
  } else if (item->Bitmap) {
    item->Bitmap = CopyOfRect(*item->Bitmap, item->Rect);
  }
}

// --- the stroke family ---

TStrokeGesture::TStrokeGesture(IDeskToolHost& desk, IDeskToolOwner& owner, TLayer* layer, TDeskDragMode mode)
    : TDeskGesture(desk, owner, layer),
      settings_(owner.ToolSettings()),
      clipRight_(std::min(layer->Left + std::max(layer->Width(), 0), desk.DeskGeometry().DesktopTableWidth)),
      clipBottom_(std::min(layer->Top + std::max(layer->Height(), 0), desk.DeskGeometry().DesktopTableHeight)),
      mode_(mode) {}

bool TStrokeGesture::Wants(const TDeskMouse& mouse, TPoint point, TPoint last) const {
  return mouse.ButtonHeld && (mouse.Button == TDeskButton::Left || mouse.Button == TDeskButton::Right) &&
         !(point == last);
}

TRect TStrokeGesture::Square(TPoint point, int radius) const {
  const TRect square{point.X - radius, point.Y - radius, point.X + radius + 1, point.Y + radius + 1};
  // The canvas never exceeds the warp field, whose last cell is side - 1.
  const int side = IDeskToolHost::kWarpFieldSide;
  const TRect clip{std::max(layer_->Left, 0), std::max(layer_->Top, 0), std::min(clipRight_, side),
                   std::min(clipBottom_, side)};
  return IntersectRects(square, clip);
}

bool TStrokeGesture::Draw(const TDeskMouse& mouse, TPoint point, TPoint last) {
  TLayer* layer = Layer();
  if (!layer) return false;
  started_ = true;
  desk_.SetDeskCursor(Cursor());
  const int radius = std::max(Radius(), 1);
  desk_.SetChanged(ckPixels);
  if (TLayerHistoryItem* item = layer->SaveUndo(Kind(), true)) item_ = item;
  if (layer->EditMode() != EditMode()) layer->SetEditMode(EditMode());
  const TRect square = Square(point, radius);
  if (!square.IsEmpty()) {
    // Only this gesture's own item grows (an undo during the drag may have taken it).
    if (item_ && !layer->History().empty() && layer->History().back().get() == item_)
      item_->Rect = UnionRects(item_->Rect, square);
    Paint(*layer, square, point, last, mouse.Button == TDeskButton::Right);
    layer->Render(desk_.DeskGeometry().ViewFrame());
    layer->LookChanged();
    const TDeskGeometry& g = desk_.DeskGeometry();
    const TRect window{RoundInt((square.Left - g.DeskViewLeft) / g.DeskScale) - 1,
                       RoundInt((square.Top - g.DeskViewTop) / g.DeskScale) - 1,
                       RoundInt((square.Right - g.DeskViewLeft) / g.DeskScale) + 1,
                       RoundInt((square.Bottom - g.DeskViewTop) / g.DeskScale) + 1};
    desk_.RefreshRect(window);
  }
  return true;
}

void TStrokeGesture::End() {
  TLayer* layer = Layer();
  if (!layer || !started_ || !item_) return;
  if (!layer->History().empty() && layer->History().back().get() == item_) {
    CompleteUndoRect(*layer, Kind());
    desk_.SetControls();
  }
  item_ = nullptr;
}

// --- warp ---

TLayerHistoryKind TWarpGesture::Kind() const { return lhkWarp; }
TEditMode TWarpGesture::EditMode() const { return emWarp; }

bool TWarpGesture::Wants(const TDeskMouse& mouse, TPoint point, TPoint last) const {
  return mouse.ButtonHeld && mouse.Button == TDeskButton::Left && !(point == last);
}

void TWarpGesture::Paint(TLayer& layer, const TRect& square, TPoint point, TPoint last, bool) {
  const int side = IDeskToolHost::kWarpFieldSide;
  if (desk_.WarpField().size() != std::size_t(side) * side) desk_.SetWarpFieldAllocated(true);
  const double strength = settings_.ModifierPower * 0.99 / 100 + 0.01;
  const double radius = std::max(Radius(), 1);
  const double mx = (point.X - last.X) * strength, my = (point.Y - last.Y) * strength;
  const TBitmap32& base = layer.BasePicture;
  const bool sampled = !base.Empty() && base.Width() == layer.Picture.Width() &&
                       base.Height() == layer.Picture.Height();
  // Cells are stored row by row (canvas y, then x).
  for (int py = square.Top; py < square.Bottom; ++py) {
    TWarpCell* cells = &desk_.WarpField()[std::size_t(py) * side];
    const double ry = double(py - point.Y) * (py - point.Y);
    TColor32* out = layer.Picture.PixelPtr(0, py - layer.Top);
    for (int px = square.Left; px < square.Right; ++px) {
      TWarpCell& cell = cells[px];
      const double d = std::sqrt(double(px - point.X) * (px - point.X) + ry) / radius;
      if (d <= 1) {
        cell.DX -= (1 - d) * mx;
        cell.DY -= (1 - d) * my;
      }
      // Always from the picture at the stroke's start, so repeated moves do not blur.
      if (sampled)
        out[px - layer.Left] = SampleBilinear(base, px - layer.Left + cell.DX, py - layer.Top + cell.DY);
    }
  }
}

// --- colour brush and eraser ---

namespace {

// Calls fn(pixel, base pixel or nullptr, f) with the bytes B, G, R, A of each
// layer pixel of the square inside the brush circle (d < 1), f its brush weight.
// Restoring needs a base of the picture's size.
template <class Fn>
void ForEachBrushPixel(TLayer& layer, const TRect& square, TPoint point, int radius, int power, bool restore, Fn fn) {
  const TBitmap32& base = layer.BasePicture;
  if (restore && (base.Width() != layer.Picture.Width() || base.Height() != layer.Picture.Height())) return;
  const double r = std::max(radius, 1);
  for (int py = square.Top; py < square.Bottom; ++py) {
    const int ly = py - layer.Top;
    auto* out = reinterpret_cast<std::uint8_t*>(layer.Picture.PixelPtr(0, ly));
    const std::uint8_t* from = restore ? reinterpret_cast<const std::uint8_t*>(base.PixelPtr(0, ly)) : nullptr;
    for (int px = square.Left; px < square.Right; ++px) {
      const double d = std::hypot(px - point.X, py - point.Y) / r;
      if (d >= 1) continue;
      const int lx = (px - layer.Left) * 4;
      fn(out + lx, from ? from + lx : nullptr, BrushWeight(d, power));
    }
  }
}

}  // namespace

TLayerHistoryKind TBrushGesture::Kind() const { return lhkColorBrush; }
TEditMode TBrushGesture::EditMode() const { return emColorBrush; }

void TBrushGesture::Paint(TLayer& layer, const TRect& square, TPoint point, TPoint, bool restore) {
  const int brush[3] = {settings_.BrushColorBlue, settings_.BrushColorGreen, settings_.BrushColorRed};
  ForEachBrushPixel(layer, square, point, Radius(), settings_.BrushPower, restore,
                    [&](std::uint8_t* pixel, const std::uint8_t* before, double f) {
                      // Colour only; the right button mixes back towards the picture before the series.
                      for (int c = 0; c < 3; ++c) pixel[c] = Mix(pixel[c], f, before ? before[c] : brush[c]);
                    });
}

TLayerHistoryKind TEraserGesture::Kind() const { return lhkEraser; }
TEditMode TEraserGesture::EditMode() const { return emEraser; }

void TEraserGesture::Paint(TLayer& layer, const TRect& square, TPoint point, TPoint, bool restore) {
  ForEachBrushPixel(layer, square, point, Radius(), settings_.EraserPower, restore,
                    [](std::uint8_t* pixel, const std::uint8_t* before, double f) {
                      int alpha = RoundInt(pixel[3] * f);
                      if (before) alpha = std::min(alpha + RoundInt(before[3] * (1 - f)), 255);
                      pixel[3] = std::uint8_t(alpha);
                    });
}

// --- colour pick ---

bool PickDeskColor(const TBitmap32& desk, TPoint window, TPickedColor& color) {
  int red = 0, green = 0, blue = 0, count = 0;
  for (int y = window.Y - 1; y <= window.Y + 1; ++y)
    for (int x = window.X - 1; x <= window.X + 1; ++x) {
      if (!desk.Contains(x, y)) continue;
      const TColor32 p = *desk.PixelPtr(x, y);
      red += RedOf(p);
      green += GreenOf(p);
      blue += BlueOf(p);
      ++count;
    }
  if (count == 0) return false;
  color = {red / count, green / count, blue / count};
  return true;
}
