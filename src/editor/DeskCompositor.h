#pragma once
// The desk's compositing arithmetic: layer renderings stacked over white with the
// regions' and the layer's opacity, in 8-bit integer steps (shr 8, not div 255),
// so the desk, the scroll cache and the export picture agree pixel for pixel.
#include <cstdint>
#include <span>
#include <vector>

#include "picture/AlphaSpans.h"
#include "picture/Bitmap32.h"
#include "platform/Geometry.h"

class TMask;

// One layer's rendering as the compositor sees it.
struct TCompositeLayer {
  const TBitmap32* Rendering = nullptr;
  TPoint Pos;          // the rendering's top-left in target pixels
  TRect SourceRect;    // the part of the layer picture the rendering shows
  const TMask* Mask = nullptr;
  std::uint8_t Opacity = 100;
  // The rendering's rows as MeasureAlphaSpans gives them; without them (or with a
  // count other than the rendering's height) every row is laid whole.
  std::span<const TAlphaSpan> Spans;
};

enum class TCompositeAlpha {
  Coverage,    // desk and scroll cache: opaque white ground, alpha = the top layer's
  Accumulate,  // export: transparent white ground, alpha builds up layer by layer
};

// Composites `rect` (clamped to the target) of `target`; `layers` run from the top
// of the stack (index 0) to the bottom. `scale` maps a rendering pixel to its mask
// cell (canvas pixels per target pixel). With `opaqueCopy`, the rect's rows go
// there too (as far as it reaches), made opaque while they are in the cache.
// `vectors` is the widest vectors it may use: 0 none, 1 eight pixels, 2 sixteen
// (each where the processor has them), so that every path can be checked against
// the others on one machine.
void CompositeLayers(TBitmap32& target, TRect rect, std::span<const TCompositeLayer> layers, double scale,
                     TCompositeAlpha alpha, TBitmap32* opaqueCopy = nullptr, int vectors = 2);
