#include "editor/BaldHead.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kGrip = 5;  // how near a handle the mouse must be
constexpr TColor32 kBlank = Color32(255, 255, 255, 0);

bool Near(int a, int b) { return std::abs(a - b) < kGrip; }

}  // namespace

bool THeadShape::Contains(int x, int y) const {
  if (Ellipse.IsEmpty()) return false;
  const double cx = x + 0.5, cy = y + 0.5;
  const double rx = Ellipse.Width() / 2.0, ry = Ellipse.Height() / 2.0;
  const double dx = (cx - (Ellipse.Left + rx)) / rx, dy = (cy - (Ellipse.Top + ry)) / ry;
  if (dx * dx + dy * dy >= 1.0) return false;
  const int span = CutRight.X - CutLeft.X;
  const double lineY =
      span == 0 ? std::min(CutLeft.Y, CutRight.Y) : CutLeft.Y + (cx - CutLeft.X) * (CutRight.Y - CutLeft.Y) / span;
  return cy < lineY;
}

TRect THeadShape::RegionBounds() const {
  TRect box;
  for (int y = Ellipse.Top; y < Ellipse.Bottom; ++y)
    for (int x = Ellipse.Left; x < Ellipse.Right; ++x)
      if (Contains(x, y)) box = UnionRects(box, TRect{x, y, x + 1, y + 1});
  return box;
}

TColor32 OverWhite(TColor32 color, std::uint8_t alpha) {
  auto channel = [alpha](std::uint8_t c) { return std::uint8_t(255 - (255 - c) * alpha / 255); };
  return Color32(channel(RedOf(color)), channel(GreenOf(color)), channel(BlueOf(color)), alpha);
}

TBaldHeadEditor::TBaldHeadEditor(const TBitmap32& picture, TPoint facePoint, TPoint layerOrigin)
    : unedited_(picture),
      erased_(picture),
      work_(picture),
      headOffset_{facePoint.X - layerOrigin.X - kTemplateWidth / 4,
                  facePoint.Y - layerOrigin.Y - kTemplateHeight / 2 - 40} {
  EnterBaldHeadMode();
  EnterEraserMode();
}

void TBaldHeadEditor::EnterEraserMode() {
  mode_ = TBaldHeadMode::Eraser;
  held_ = TShapeHandle::None;
  filled_ = false;
}

void TBaldHeadEditor::EnterBaldHeadMode() {
  mode_ = TBaldHeadMode::BaldHead;
  shape_.Ellipse = Bounds(headOffset_.X, headOffset_.Y, kTemplateWidth, kTemplateHeight);
  const int mid = (shape_.Ellipse.Top + shape_.Ellipse.Bottom) / 2;
  shape_.CutLeft = {shape_.Ellipse.Left, mid};
  shape_.CutRight = {shape_.Ellipse.Right, mid};
  work_ = erased_;
  held_ = TShapeHandle::None;
  filled_ = false;
}

TRect TBaldHeadEditor::Erase(int x, int y, int radius, bool restore) {
  if (radius <= 0) return {};
  const TRect box = IntersectRects(TRect{x - radius + 1, y - radius + 1, x + radius, y + radius},
                                   TRect{0, 0, erased_.Width(), erased_.Height()});
  const std::int64_t r2 = std::int64_t(radius) * radius;
  for (int py = box.Top; py < box.Bottom; ++py) {
    for (int px = box.Left; px < box.Right; ++px) {
      const std::int64_t dx = px - x, dy = py - y;
      if (dx * dx + dy * dy >= r2) continue;
      const TColor32 original = *unedited_.PixelPtr(px, py);
      *erased_.PixelPtr(px, py) = restore ? original : (original & 0x00FFFFFFu);
    }
  }
  return box;
}

TShapeHandle TBaldHeadEditor::HandleAt(TPoint p) const {
  const TRect& e = shape_.Ellipse;
  auto onPoint = [&p](TPoint c) { return p.X >= c.X - kGrip && p.X < c.X + kGrip && p.Y >= c.Y - kGrip && p.Y < c.Y + kGrip; };
  if (onPoint(shape_.CutLeft)) return TShapeHandle::CutLeft;
  if (onPoint(shape_.CutRight)) return TShapeHandle::CutRight;
  const bool betweenTopAndBottom = p.Y > e.Top && p.Y < e.Bottom;
  if (betweenTopAndBottom && Near(p.X, e.Left)) return TShapeHandle::LeftEdge;
  if (betweenTopAndBottom && Near(p.X, e.Right)) return TShapeHandle::RightEdge;
  const bool betweenLeftAndRight = p.X > e.Left && p.X < e.Right;
  if (betweenLeftAndRight && Near(p.Y, e.Top)) return TShapeHandle::TopEdge;
  if (betweenLeftAndRight && Near(p.Y, e.Bottom)) return TShapeHandle::BottomEdge;
  if (shape_.Contains(p.X, p.Y)) return TShapeHandle::Whole;
  return TShapeHandle::None;
}

void TBaldHeadEditor::ShapeMouseDown(TPoint p) {
  held_ = HandleAt(p);
  last_ = p;
}

void TBaldHeadEditor::SetEllipseSide(TShapeHandle handle, TPoint p) {
  TRect& e = shape_.Ellipse;
  switch (handle) {
    case TShapeHandle::LeftEdge:
      e.Left = shape_.CutLeft.X = std::min(p.X, e.Right - kMinShapeSide);
      break;
    case TShapeHandle::RightEdge:
      e.Right = shape_.CutRight.X = std::max(p.X, e.Left + kMinShapeSide);
      break;
    case TShapeHandle::TopEdge:
      e.Top = std::min(p.Y, e.Bottom - kMinShapeSide);
      break;
    case TShapeHandle::BottomEdge:
      e.Bottom = std::max(p.Y, e.Top + kMinShapeSide);
      break;
    default:
      break;
  }
}

bool TBaldHeadEditor::ShapeMouseMove(TPoint p) {
  if (mode_ != TBaldHeadMode::BaldHead || held_ == TShapeHandle::None) return false;
  const TRect& e = shape_.Ellipse;
  switch (held_) {
    case TShapeHandle::CutLeft:
      shape_.CutLeft.Y = p.Y;
      break;
    case TShapeHandle::CutRight:
      shape_.CutRight.Y = p.Y;
      break;
    case TShapeHandle::Whole: {
      const int dx = p.X - last_.X, dy = p.Y - last_.Y;
      shape_.Ellipse = e.Offset(dx, dy);
      shape_.CutLeft = {shape_.CutLeft.X + dx, shape_.CutLeft.Y + dy};
      shape_.CutRight = {shape_.CutRight.X + dx, shape_.CutRight.Y + dy};
      break;
    }
    default:
      SetEllipseSide(held_, p);
      break;
  }
  // A cut line at or above the top would leave no region to fill.
  for (TPoint* cut : {&shape_.CutLeft, &shape_.CutRight})
    cut->Y = std::clamp(cut->Y, e.Top + kMinShapeSide / 2, e.Bottom);
  last_ = p;
  return true;
}

void TBaldHeadEditor::FillBlank() {
  if (mode_ != TBaldHeadMode::BaldHead) return;
  const TRect box = shape_.RegionBounds();
  const int w = work_.Width(), h = work_.Height();
  auto fill = [&](int x, int y) {
    if (x < 0 || x >= w || !shape_.Contains(x, y) || AlphaOf(*work_.PixelPtr(x, y)) != 0) return;
    unsigned r = 0, g = 0, b = 0, n = 0;
    for (int ny = y - 1; ny <= y + 1; ++ny)
      for (int nx = x - 1; nx <= x + 1; ++nx) {
        if ((nx == x && ny == y) || !work_.Contains(nx, ny)) continue;
        const TColor32 c = *work_.PixelPtr(nx, ny);
        if (AlphaOf(c) == 0) continue;
        r += RedOf(c), g += GreenOf(c), b += BlueOf(c), ++n;
      }
    *work_.PixelPtr(x, y) = n == 0 ? kBlank : Color32(std::uint8_t(r / n), std::uint8_t(g / n), std::uint8_t(b / n));
  };
  const int centre = (box.Left + box.Right) / 2;
  for (int y = std::min(box.Bottom - 1, h - 2); y >= std::max(box.Top, 1); --y) {
    for (int x = centre; x >= box.Left; --x) fill(x, y);
    for (int x = centre + 1; x < box.Right; ++x) fill(x, y);
  }
  filled_ = true;
}

TBitmap32 TBaldHeadEditor::View() const {
  TBitmap32 view = mode_ == TBaldHeadMode::Eraser ? erased_ : work_;
  for (int y = 0; y < view.Height(); ++y) {
    TColor32* row = view.PixelPtr(0, y);
    for (int x = 0; x < view.Width(); ++x) row[x] = OverWhite(row[x], AlphaOf(row[x])) | 0xFF000000u;
  }
  return view;
}

TBitmap32 TBaldHeadEditor::Result() const {
  TBitmap32 result = work_;
  for (int y = 0; y < result.Height(); ++y) {
    TColor32* row = result.PixelPtr(0, y);
    const TColor32* original = unedited_.PixelPtr(0, y);
    for (int x = 0; x < result.Width(); ++x)
      if (AlphaOf(row[x]) < 255) row[x] = original[x];
  }
  return result;
}
