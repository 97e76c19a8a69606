#pragma once
// The layer-regions window without its window: the nine thumbnails (no region,
// regions 1 to 8) and one region cut out of a layer for saving as a template.
#include <array>
#include <optional>

#include "picture/Bitmap32.h"
#include "picture/Mask.h"
#include "platform/Geometry.h"

inline constexpr int kRegionItemHeight = 50;
inline constexpr int kRegionItemCount = TMask::kRegionCount + 1;

// Thumbnail 0 is white; thumbnail i shows, over white, the picture's pixels of
// region i, the picture fitted into side x side keeping its aspect and centred.
// The map is fitted into the same place, so each thumbnail pixel shows the
// region of the picture pixel it shows.
std::array<TBitmap32, kRegionItemCount> RegionThumbnails(const TBitmap32& picture, const TMaskA& map,
                                                         int side = kRegionItemHeight);

// One region as a template picture: its pixels within their alpha bounds, with a
// transparent white margin of a quarter of the longer side (split on both
// sides), and its offset to the face point.
struct TRegionCut {
  TBitmap32 Picture;
  int DX = 0;
  int DY = 0;
};
// `picture` is the layer's picture as rendered, `map` its region map and
// `layerPos` its canvas position; a face point with X (or Y) -1 is not fitted
// and gives offset 0 on that axis. Nothing when no pixel of the region has
// alpha above 0: a region without pixels and one of transparent pixels alone
// make no template.
std::optional<TRegionCut> CutRegion(const TBitmap32& picture, const TMaskA& map, int region, TPoint layerPos,
                                    TPoint facePoint);
