#pragma once
// Picture routines shared by the layer, the desk tools, the adjust and bald-head
// windows, the templates and the exchange windows. All pictures are TBitmap32
// (bytes B, G, R, A); a "canvas" is the picture drawn into. Float-to-byte
// conversions truncate unless a routine says it rounds.
#include <cstdint>
#include <optional>
#include <vector>

#include "picture/Bitmap32.h"
#include "picture/Jpeg.h"
#include "platform/Geometry.h"

// --- Bilinear stretch family ---------------------------------------------------
// Each draws `source` resampled to the size of `rect` and copies the result (all
// four bytes, no blending) into `canvas` at rect's top-left, clipped to the canvas.
// Nothing is drawn for an empty source or rectangle, or a rectangle larger than a
// picture may be. Sampling of target pixel (x, y) of a W x H rectangle from a
// w x h source: sx = w*x/W, sy = h*y/H; the right neighbour is the same column in
// target column 0 and on the last source column, the lower neighbour is the same
// row on the last source row (where fy counts as 0).

// Alpha and colour for pictures with hard-edged alpha. With interpolateAllAlpha
// false, a target pixel takes the alpha of its nearest source pixel when that is
// 0 or 255 (so a fully transparent pixel never turns partly opaque), else the
// bilinear alpha; with it true, always the bilinear alpha. Colour is the bilinear
// colour where the alpha is 0 or 255, and otherwise blended by alpha towards the
// colour just computed to the left (towards 0 in column 0 and on the last source
// column).
void StretchDrawAlpha(TBitmap32& canvas, const TRect& rect, const TBitmap32& source, bool interpolateAllAlpha);
// Bilinear alpha; colour premultiplied by it (c * a / 255).
void StretchDrawAlpha32(TBitmap32& canvas, const TRect& rect, const TBitmap32& source);
// The same as StretchDrawAlpha32 (kept as its own name for its callers).
void StretchDrawBilinear32(TBitmap32& canvas, const TRect& rect, const TBitmap32& source);
// Bilinear colour of a picture without alpha: the source's alpha is ignored and
// the drawn pixels are opaque.
void StretchDrawBilinear(TBitmap32& canvas, const TRect& rect, const TBitmap32& source);

// Plain nearest-pixel stretch of `source` to `rect`, all four bytes copied.
void StretchDrawNearest(TBitmap32& canvas, const TRect& rect, const TBitmap32& source);

// Blends `source`, stretched (nearest pixel) to `rect`, over the canvas pixels in
// rect: each of B, G, R becomes d + (s - d) * a / 255 (truncated toward zero) with
// a the stretched source's alpha; the canvas keeps its alpha.
void StretchBlendInRect(TBitmap32& canvas, const TRect& rect, const TBitmap32& source);

// Copies `source` unscaled into `canvas` at (left, top), clipped (all four bytes).
void DrawBitmap(TBitmap32& canvas, int left, int top, const TBitmap32& source);

// Copies `count` pixels with their alpha set to 255 (a picture shown opaque).
void CopyPixelsOpaque(const TColor32* in, TColor32* out, int count);

// --- Previews ------------------------------------------------------------------
// A width x height picture of `background` with `picture` composed over it (its
// alpha respected): at its own size when it already has the target size or is
// smaller both ways (then centred), else fitted inside keeping its proportions and
// centred, bilinear. Alpha of the result is 255. Empty for a size of 0 or less.
TBitmap32 ThumbnailCanvas(const TBitmap32& picture, int width, TColor32 background, int height);
// ThumbnailCanvas as a JPEG of quality 70; nullopt for a size of 0 or less.
std::optional<TJpegImage> MakeThumbnail(const TBitmap32& picture, int width, TColor32 background, int height);
// `picture` stretched to the whole width x height (nearest pixel) and blended by
// its alpha over `background` (StretchBlendInRect), as a JPEG of quality 70;
// nullopt for a size of 0 or less.
std::optional<TJpegImage> MakeJpegPreview(const TBitmap32& picture, int width, int height, TColor32 background);

// --- Geometry ------------------------------------------------------------------
enum TFlipDirection { kFlipTopBottom = 0, kFlipLeftRight = 1 };
// Mirrors in place. Top-bottom needs at least 2 rows, left-right at least 2
// columns; otherwise (and for another direction) nothing changes.
void FlipBitmap(TBitmap32& bitmap, int direction);

// Rotates `source` by `angle` degrees about (cx, cy) into a new picture, large
// enough for the turned picture, whose uncovered pixels are white with alpha 0.
// Each source pixel is mapped forward and also written one column to its left, so
// no holes open; pictures of 100 pixels or less on a side are rotated at twice
// their size and brought back, for smoother edges. Returns an empty picture for an
// empty source or when the result would be empty or beyond the picture caps.
TBitmap32 RotateBitmap(const TBitmap32& source, double angle, int cx, int cy);

// The intersection of two rectangles; (-1, -1, -1, -1) when they do not meet.
// Touching rectangles give a zero-width (or zero-height) intersection, not none.
TRect IntersectRectOrNone(const TRect& a, const TRect& b);

// --- Alpha ---------------------------------------------------------------------
// Sets every pixel's alpha byte.
void SetAlpha(TBitmap32& bitmap, std::uint8_t alpha);
// True when every pixel's alpha equals `alpha` (true for an empty picture; false
// for a value outside 0..255 when there are pixels).
bool AlphaIs(const TBitmap32& bitmap, int alpha);
// Makes the picture empty (0 x 0).
void ClearPicture(TBitmap32& bitmap);

// --- Contours (the bald-head editor) ---------------------------------------------
// The neighbour of `p` in chain-code direction `code` (screen coordinates, y down):
// 0 east, 1 north-east, 2 north, 3 north-west, 4 west, 5 south-west, 6 south,
// 7 and -1 south-east. A coordinate that would leave the canvas keeps its value.
// Throws std::invalid_argument ("chain code out of range: <code>") for a code
// outside -1..7: a caller's fault, never a file's.
TPoint ChainNeighbour(int code, TPoint p, const TBitmap32& canvas);

constexpr int kMaxContourPoints = 9000;
// Follows the border of the region of "inside" pixels (red, green and blue each
// between those of `low` and `high`, inclusive) that holds `start`, from the
// leftmost inside pixel of start's run back to it. Returns the points walked, the
// first being that leftmost pixel and the last the same pixel again; empty when
// the walk gets stuck (an isolated pixel), would need kMaxContourPoints points or
// more, or `start` lies outside the canvas. The caller reports an empty result.
std::vector<TPoint> TraceContour(TPoint start, const TBitmap32& canvas, TColor32 low, TColor32 high);

// The mean colour (per channel, truncated) of the eight neighbours of (x, y) whose
// red, green and blue differ from `ignore`'s, with alpha 255. Neighbours outside
// the canvas do not count; with none left the result is `ignore`.
TColor32 AverageNeighbourColor(int x, int y, TColor32 ignore, const TBitmap32& canvas);
