#include "editor/AdjustView.h"

#include <algorithm>

namespace {

constexpr TColor32 kColourBits = 0x00FFFFFF;

void InvertPixel(TBitmap32& view, int x, int y) {
  if (x >= 0 && y >= 0 && x < view.Width() && y < view.Height()) *view.PixelPtr(x, y) ^= kColourBits;
}

void InvertRow(TBitmap32& view, int y, int left, int right) {
  for (int x = std::max(0, left); x < std::min(right, view.Width()); ++x) InvertPixel(view, x, y);
}

void InvertColumn(TBitmap32& view, int x, int top, int bottom) {
  for (int y = std::max(0, top); y < std::min(bottom, view.Height()); ++y) InvertPixel(view, x, y);
}

// The outline of `frame` (its first and last rows and columns), each pixel once.
void InvertFrame(TBitmap32& view, const TRect& frame) {
  if (frame.IsEmpty()) return;
  InvertRow(view, frame.Top, frame.Left, frame.Right);
  if (frame.Height() > 1) InvertRow(view, frame.Bottom - 1, frame.Left, frame.Right);
  InvertColumn(view, frame.Left, frame.Top + 1, frame.Bottom - 1);
  if (frame.Width() > 1) InvertColumn(view, frame.Right - 1, frame.Top + 1, frame.Bottom - 1);
}

void AndMarker(TBitmap32& view, const THandMarker& marker) {
  const TBitmap32& nail = marker.Bitmap;
  const int left = marker.ViewX - nail.Width() / 2, top = marker.ViewY - nail.Height() / 2;
  for (int y = 0; y < nail.Height(); ++y) {
    const int vy = top + y;
    if (vy < 0 || vy >= view.Height()) continue;
    for (int x = 0; x < nail.Width(); ++x) {
      const int vx = left + x;
      if (vx >= 0 && vx < view.Width()) *view.PixelPtr(vx, vy) &= *nail.PixelPtr(x, y) | ~kColourBits;
    }
  }
}

}  // namespace

void DrawAdjustView(TBitmap32& view, const TAdjustModel& model) {
  switch (model.AdjustKind) {
    case kAdjustFace:
      InvertColumn(view, model.LeftEyeX, 0, view.Height());
      InvertColumn(view, model.RightEyeX, 0, view.Height());
      InvertRow(view, model.EyeLineY, 0, view.Width());
      if (model.CropShown) InvertFrame(view, model.CropFrame);
      break;
    case kAdjustHand:
      InvertFrame(view, model.HandFrame);
      for (const THandMarker& marker : model.Markers()) AndMarker(view, marker);
      break;
    case kAdjustBody: InvertFrame(view, model.BodyFrame); break;
    default: break;  // the figure kind is never offered and draws nothing
  }
}
