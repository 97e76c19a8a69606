#include "editor/LayerRegions.h"

#include <algorithm>

#include "editor/LayerList.h"
#include "editor/RegionEditor.h"
#include "editor/TemplateSave.h"
#include "picture/BitmapRoutines.h"

std::array<TBitmap32, kRegionItemCount> RegionThumbnails(const TBitmap32& picture, const TMaskA& map, int side) {
  std::array<TBitmap32, kRegionItemCount> thumbs;
  for (TBitmap32& thumb : thumbs) thumb = TBitmap32(side, side, 0xFFFFFFFF);
  const TRect place = PortraitPreviewPlace(picture.Width(), picture.Height(), side, side);
  if (place.IsEmpty() || map.Empty()) return thumbs;
  TBitmap32 base(side, side, 0);
  StretchDrawAlpha(base, place, picture, false);
  const TMaskA cells = map.Resampled(place.Width(), place.Height());
  for (int y = place.Top; y < std::min(place.Bottom, side); ++y) {
    const std::uint8_t* row = cells.Row(y - place.Top);
    for (int x = place.Left; x < std::min(place.Right, side); ++x) {
      const std::uint8_t bits = row[x - place.Left];
      if (bits == 0) continue;
      const std::uint8_t* p = base.Row(y) + std::size_t(x) * 4;
      const TColor32 over = Color32(OverWhite(p[2], p[3]), OverWhite(p[1], p[3]), OverWhite(p[0], p[3]), 255);
      for (int region = 1; region <= TMask::kRegionCount; ++region)
        if (bits & (1u << (region - 1))) thumbs[std::size_t(region)].SetPixel(x, y, over);
    }
  }
  return thumbs;
}

std::optional<TRegionCut> CutRegion(const TBitmap32& picture, const TMaskA& map, int region, TPoint layerPos,
                                    TPoint facePoint) {
  if (region < 1 || region > TMask::kRegionCount || map.Width() != picture.Width() ||
      map.Height() != picture.Height())
    return std::nullopt;
  const std::uint8_t bit = std::uint8_t(1u << (region - 1));
  TRect bounds{picture.Width(), picture.Height(), -1, -1};
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      if ((map.At(x, y) & bit) && picture.Row(y)[std::size_t(x) * 4 + 3] != 0) {
        bounds.Left = std::min(bounds.Left, x);
        bounds.Top = std::min(bounds.Top, y);
        bounds.Right = std::max(bounds.Right, x + 1);
        bounds.Bottom = std::max(bounds.Bottom, y + 1);
      }
  if (bounds.IsEmpty()) return std::nullopt;
  const int margin = std::max(bounds.Width(), bounds.Height()) / 4;
  TRegionCut cut;
  cut.Picture = TBitmap32(bounds.Width() + margin, bounds.Height() + margin, 0x00FFFFFF);
  const int offset = margin / 2;
  for (int y = bounds.Top; y < bounds.Bottom; ++y)
    for (int x = bounds.Left; x < bounds.Right; ++x) {
      TColor32 pixel = picture.Pixel(x, y);
      if (!(map.At(x, y) & bit)) pixel &= 0x00FFFFFF;
      cut.Picture.SetPixel(x - bounds.Left + offset, y - bounds.Top + offset, pixel);
    }
  const TPoint face = FaceOffset({layerPos.X + bounds.Left - offset, layerPos.Y + bounds.Top - offset}, facePoint);
  cut.DX = face.X;
  cut.DY = face.Y;
  return cut;
}
