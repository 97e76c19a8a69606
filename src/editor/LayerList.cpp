#include "editor/LayerList.h"

#include <cstdlib>

#include "editor/TemplateGrid.h"
#include "picture/BitmapRoutines.h"
#include "platform/Numeric.h"

TRect LayerThumbnailPlace(int width, int height) {
  const TRect place = FitIntoCell({0, 0, kLayerThumbSide, kLayerThumbSide}, width, height);
  return place.IsEmpty() ? TRect{} : place;
}

TBitmap32 LayerThumbnail(const TBitmap32& picture) {
  TBitmap32 thumb(kLayerThumbSide, kLayerThumbSide, 0);
  if (picture.Empty()) return thumb;
  const TRect place = LayerThumbnailPlace(picture.Width(), picture.Height());
  if (!place.IsEmpty()) StretchDrawAlpha32(thumb, place, picture);
  return thumb;
}

TRect PortraitPreviewPlace(int width, int height, int previewWidth, int previewHeight) {
  if (width <= 0 || height <= 0 || previewWidth <= 0 || previewHeight <= 0) return {};
  const double aspect = double(width) / height;
  int w, h;
  if (height < width) {
    w = previewWidth;
    h = RoundInt(w / aspect);
  } else {
    h = previewHeight;
    w = RoundInt(h * aspect);
  }
  // Shrinking both sides together keeps a far-off aspect inside the preview.
  const int over = std::max(w - previewWidth, h - previewHeight);
  if (over > 0) {
    w -= over;
    h -= over;
  }
  if (w <= 0 || h <= 0) return {};
  return Bounds(std::max(0, (previewWidth - w) / 2), std::max(0, (previewHeight - h) / 2), w, h);
}

TBitmap32 PortraitPreview(const TBitmap32* picture, int previewWidth, int previewHeight) {
  TBitmap32 preview;
  if (previewWidth <= 0 || previewHeight <= 0 || !preview.SetSize(previewWidth, previewHeight, 0xFFFFFFFFu))
    return {};
  if (!picture || picture->Empty()) return preview;
  const TRect place = PortraitPreviewPlace(picture->Width(), picture->Height(), previewWidth, previewHeight);
  if (!place.IsEmpty()) {
    StretchDrawNearest(preview, place, *picture);
    // A plain stretch: the portrait's own alpha does not show.
    for (int y = place.Top; y < place.Bottom; ++y) {
      std::uint8_t* p = preview.Row(y) + 4 * std::size_t(place.Left);
      for (int x = place.Left; x < place.Right; ++x, p += 4) p[3] = 255;
    }
  }
  const TColor32 black = 0xFF000000u;
  for (int x = 0; x < previewWidth; ++x) {
    preview.SetPixel(x, 0, black);
    preview.SetPixel(x, previewHeight - 1, black);
  }
  for (int y = 0; y < previewHeight; ++y) {
    preview.SetPixel(0, y, black);
    preview.SetPixel(previewWidth - 1, y, black);
  }
  return preview;
}

void TLayerListMouse::Press(int row, TPoint point, bool left) {
  PressPoint = point;
  KeyboardSelect = false;
  PressedRow = row;
  DropRow = -1;
  LeftPressed = left;
}

bool TLayerListMouse::Move(TPoint point, bool leftHeld, int rowCount) {
  if (!leftHeld || Dragging || rowCount < 2 || PressedRow < 0) return false;
  if (std::abs(point.X - PressPoint.X) < kDragDistance && std::abs(point.Y - PressPoint.Y) < kDragDistance)
    return false;
  Dragging = true;
  return true;
}

TListClick TLayerListMouse::Release(TPoint point, int& row) {
  row = PressedRow;
  PressedRow = -1;
  if (Dragging || row < 0) return TListClick::None;
  if (std::abs(point.X - PressPoint.X) >= kDragDistance || std::abs(point.Y - PressPoint.Y) >= kDragDistance)
    return TListClick::None;
  return LeftPressed ? TListClick::Select : TListClick::Menu;
}

bool TLayerListMouse::DragOver(int row) {
  DropRow = row;
  return Dragging && row >= 0 && row != PressedRow;
}

std::optional<std::pair<int, int>> TLayerListMouse::Drop(int row) {
  if (!DragOver(row)) return std::nullopt;
  return std::pair{PressedRow, row};
}

void TLayerListMouse::EndDrag() {
  Dragging = false;
  DropRow = -1;
  PressedRow = -1;
}

int TLayerListMouse::ScrollDirection(int y, int height) {
  if (y < kScrollMargin) return -1;
  if (y >= height - kScrollMargin) return 1;
  return 0;
}

TLayerWindowLinks& LayerWindowLinks() {
  // Filled by the standing layer windows as they are made; they live as long
  // as the program.
  static TLayerWindowLinks links;
  return links;
}
