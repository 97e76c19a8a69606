// The montage desk's pixels: compositing into its three targets, the screen
// bitmap with the selection frame, the scroll cache, the export picture, and the
// hit test and popup decisions that read the same layers.
#include <algorithm>
#include <new>

#include "editor/DeskCompositor.h"
#include "editor/MontageDesk.h"
#include "picture/BitmapRoutines.h"
#include "platform/Numeric.h"

namespace {

constexpr TColor32 kWhite = 0xFFFFFFFF;

TRect PictureRect(const TLayer& layer) {
  if (layer.Picture.Empty()) return {};
  return Bounds(layer.Left, layer.Top, layer.Picture.Width(), layer.Picture.Height());
}

void FillRect(TBitmap32& bitmap, const TRect& rect, TColor32 color) {
  for (int y = rect.Top; y < rect.Bottom; ++y) std::fill(bitmap.PixelPtr(rect.Left, y), bitmap.PixelPtr(rect.Right, y), color);
}

}  // namespace

void TMontageDesk::EnsureDeskBitmaps() {
  const int width = DeskGeometry().DesktopWindowWidth, height = DeskGeometry().DesktopWindowHeight;
  if (deskBitmap_.Width() == width && deskBitmap_.Height() == height) return;
  deskBitmap_.SetSize(width, height, kWhite);
  screenBitmap_.SetSize(width, height, kWhite);
}

std::vector<TCompositeLayer> TMontageDesk::CompositeParts(TDeskTarget target) const {
  std::vector<TCompositeLayer> parts;
  parts.reserve(layers_.size());
  for (const auto& layer : layers_) {
    if (!layer->Visible()) continue;
    const bool full = target == TDeskTarget::Export;
    const TLayerRendering& rendering = full ? layer->OutputRendering() : layer->ViewRendering();
    if (rendering.State == rsNothing) continue;
    TCompositeLayer part{&rendering.Bitmap, rendering.Pos, rendering.SourceRect, &layer->Mask, layer->Opacity(),
                         rendering.Spans};
    if (target == TDeskTarget::View) part.Pos = {part.Pos.X - ViewOrigin.X, part.Pos.Y - ViewOrigin.Y};
    parts.push_back(part);
  }
  return parts;
}

void TMontageDesk::CompositeRect(const TRect& rect, TDeskTarget target) {
  const std::vector<TCompositeLayer> parts = CompositeParts(target);
  switch (target) {
    case TDeskTarget::Desk:
      EnsureDeskBitmaps();
      CompositeLayers(deskBitmap_, rect, parts, DeskGeometry().DeskScale, TCompositeAlpha::Coverage);
      break;
    case TDeskTarget::View:
      CompositeLayers(viewBitmap_, rect, parts, DeskGeometry().DeskScale, TCompositeAlpha::Coverage);
      break;
    case TDeskTarget::Export:
      CompositeLayers(exportBitmap_, rect, parts, 1.0, TCompositeAlpha::Accumulate);
      break;
  }
}

void TMontageDesk::RefreshRect(const TRect& rect) {
  if (!viewBitmap_.Empty()) {
    CompositeRect(rect, TDeskTarget::Desk);
    PaintPixels(rect, false);
    return;
  }
  // Without a scroll cache the screen takes each row as it is composed, while
  // the row is still in the processor's cache.
  EnsureDeskBitmaps();
  CompositeLayers(deskBitmap_, rect, CompositeParts(TDeskTarget::Desk), DeskGeometry().DeskScale,
                  TCompositeAlpha::Coverage, &screenBitmap_);
  ShowPixels(IntersectRects(rect, WindowRect()));
}

void TMontageDesk::RefreshAll() { RefreshRect(WindowRect()); }

void TMontageDesk::PaintRect(const TRect& rect) { PaintPixels(rect, true); }

void TMontageDesk::PaintPixels(TRect rect, bool compose) {
  EnsureDeskBitmaps();
  rect = IntersectRects(rect, WindowRect());
  if (rect.IsEmpty()) return;
  if (!viewBitmap_.Empty()) {
    const TRect cache = Bounds(ViewOrigin.X, ViewOrigin.Y, viewBitmap_.Width(), viewBitmap_.Height());
    const TRect inside = IntersectRects(rect, cache);
    for (int y = rect.Top; y < rect.Bottom; ++y) {
      TColor32* out = deskBitmap_.PixelPtr(0, y);
      if (inside.IsEmpty() || y < inside.Top || y >= inside.Bottom) {
        std::fill(out + rect.Left, out + rect.Right, kWhite);
        continue;
      }
      std::fill(out + rect.Left, out + inside.Left, kWhite);
      std::copy_n(viewBitmap_.PixelPtr(inside.Left - ViewOrigin.X, y - ViewOrigin.Y), inside.Width(), out + inside.Left);
      std::fill(out + inside.Right, out + rect.Right, kWhite);
    }
  } else if (compose) {
    CompositeRect(rect, TDeskTarget::Desk);
  }
  // The window shows the desk opaque, whatever alpha the top layer left.
  for (int y = rect.Top; y < rect.Bottom; ++y)
    CopyPixelsOpaque(deskBitmap_.PixelPtr(rect.Left, y), screenBitmap_.PixelPtr(rect.Left, y), rect.Width());
  ShowPixels(rect);
}

void TMontageDesk::ShowPixels(const TRect& rect) {
  if (rect.IsEmpty()) return;
  if (toolFlags_.SelectionFrameShown) DrawSelectionFrame(rect);
  if (view_) view_->ShowRect(rect);
}

void TMontageDesk::DrawSelectionFrame(const TRect& clip) {
  const TLayer* layer = selected_ >= 0 ? layers_[std::size_t(selected_)].get() : nullptr;
  if (!layer || layer->ViewRendering().State == rsNothing || layer->ViewRendering().Bitmap.Empty()) return;
  const TRect frame = layer->ViewRect();
  const int x0 = frame.Left, y0 = frame.Top, x1 = frame.Right - 1, y1 = frame.Bottom - 1;
  auto line = [&](TRect edge, TColor32 color) { FillRect(screenBitmap_, IntersectRects(edge, clip), color); };
  if (y1 != DeskGeometry().DesktopWindowHeight - 1) line({x0, y1, x1 + 1, y1 + 1}, kFrameDark);
  if (x1 != DeskGeometry().DesktopWindowWidth - 1) line({x1, y0, x1 + 1, y1 + 1}, kFrameDark);
  if (y0 != 0) line({x0, y0, x1 + 1, y0 + 1}, kFrameLight);
  if (x0 != 0) line({x0, y0, x0 + 1, y1 + 1}, kFrameLight);
}

void TMontageDesk::RebuildViewBitmap() {
  TRect all;
  int leftmost = 0, topmost = 0;
  for (const auto& layer : layers_) {
    if (!layer->Visible()) continue;
    const TRect r = layer->ViewRect();
    if (r.IsEmpty()) continue;
    if (all.IsEmpty() || r.Left < all.Left) leftmost = layer->Left;
    if (all.IsEmpty() || r.Top < all.Top) topmost = layer->Top;
    all = UnionRects(all, r);
  }
  viewBitmap_.Reset();
  if (all.IsEmpty()) return;
  try {
    ViewCanvasOrigin = {leftmost, topmost};
    ViewOrigin = all.TopLeft();
    if (!viewBitmap_.SetSize(all.Width(), all.Height())) return;
    CompositeRect({0, 0, all.Width(), all.Height()}, TDeskTarget::View);
  } catch (const std::bad_alloc&) {
    // Without the cache the next paint composes directly.
    viewBitmap_.Reset();
  }
}

void TMontageDesk::DropViewBitmap() { viewBitmap_.Reset(); }

void TMontageDesk::PlaceViewBitmap(int viewLeft, int viewTop) {
  // Where a wholly rendered layer at ViewCanvasOrigin lands for this view.
  const double scale = DeskGeometry().DeskScale;
  ViewOrigin = {RoundInt(ViewCanvasOrigin.X / scale) - RoundInt(viewLeft / scale),
                RoundInt(ViewCanvasOrigin.Y / scale) - RoundInt(viewTop / scale)};
}

void TMontageDesk::RenderExportBitmap() {
  const TRect canvas{0, 0, DeskGeometry().DesktopTableWidth, DeskGeometry().DesktopTableHeight};
  TRect box;
  for (const auto& layer : layers_) {
    // A layer wholly off the canvas takes no part, or it would stretch the box.
    if (layer->Visible()) box = UnionRects(box, IntersectRects(PictureRect(*layer), canvas));
  }
  if (box.IsEmpty()) {
    exportBitmap_.Reset();
    exportBox_ = TRect();
    return;
  }
  exportBox_ = box;
  exportBitmap_.SetSize(box.Width(), box.Height());
  const TViewFrame frame = ExportFrame();
  for (const auto& layer : layers_)
    if (layer->Visible()) layer->RenderExport(frame);
  CompositeRect({0, 0, box.Width(), box.Height()}, TDeskTarget::Export);
  for (const auto& layer : layers_) layer->ReleaseOutput();
}

int TMontageDesk::LayerAt(int x, int y, bool ctrl, bool cycle) {
  const int count = LayerCount();
  hits_.assign(std::size_t(count), 0);
  for (int i = 0; i < count; ++i) {
    const TLayer& layer = *layers_[std::size_t(i)];
    if (layer.Visible() && PictureRect(layer).Contains(x, y))
      hits_[std::size_t(i)] = AlphaOf(*layer.Picture.PixelPtr(x - layer.Left, y - layer.Top));
  }
  auto firstHit = [&](int from, int to) {  // [from, to)
    for (int i = std::max(from, 0); i < to; ++i)
      if (hits_[std::size_t(i)] > 0) return i;
    return -1;
  };
  const bool ctrlOnSelected = ctrl && selected_ >= 0 && PictureRect(*layers_[std::size_t(selected_)]).Contains(x, y);
  if (!cycle) {
    if (ctrlOnSelected) return selected_;
    return firstHit(0, count);
  }
  int found = firstHit(selected_ + 1, count);
  if (found < 0) found = firstHit(0, selected_ + 1);
  if (found < 0 && ctrlOnSelected) found = selected_;
  return found;
}

TDeskPopupItems TMontageDesk::PopupItems() const {
  const int index = PopupLayerIndex, count = LayerCount();
  TDeskPopupItems items;
  if (index >= count) return items;
  items.MoveTop = index >= 1;
  items.MoveBottom = index >= 0 && index < count - 1;
  items.Delete = index >= 0;
  if (index < 0) return items;
  const TLayer& layer = *layers_[std::size_t(index)];
  items.Hide = layer.Visible();
  items.Show = !layer.Visible();
  items.ShowCatalog = owner_.HasCatalogPage("T", layer.SourceFile);
  return items;
}

void TMontageDesk::PopupCommand(TDeskPopupAction action) {
  const int index = PopupLayerIndex, count = LayerCount();
  if (index < 0 || index >= count) return;
  switch (action) {
    case TDeskPopupAction::Show:
    case TDeskPopupAction::Hide:
      ToggleLayerVisibility(index);
      break;
    case TDeskPopupAction::MoveTop:
      if (index > 0) MoveLayer(index, 0);
      break;
    case TDeskPopupAction::MoveBottom:
      if (index < count - 1) MoveLayer(index, count - 1);
      break;
    case TDeskPopupAction::Delete:
      DeleteLayer(index);
      break;
    case TDeskPopupAction::ShowCatalog:
      owner_.ShowCatalogPage("T", layers_[std::size_t(index)]->SourceFile);
      break;
  }
}
