#pragma once
// The per-pixel work of the skin controls: which part of a button sheet a frame is,
// how it is recoloured and blended over what lies beneath, and where it is opaque
// enough to take the mouse. Pure functions over TBitmap32, shared by the button,
// the slider and its thumb.
#include <cstdint>

#include "picture/Bitmap32.h"
#include "picture/SharedRowBitmap.h"
#include "platform/Geometry.h"

// "No recolouring": a value no real colour takes (the class library's clNone).
constexpr std::uint32_t clNone = 0x1FFFFFFF;

// The frame grid of a resource. Width or Height 0 means "the control's size".
struct TFrameGrid {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  int Rows = 1, Cols = 2;
};

// The sheet rectangle of frame `index` for a control of the given size: column
// index mod Cols, row index div Cols. Cols below 1 counts as 1. A negative index
// has no frame (an empty rectangle), so nothing outside the grid is ever read.
TRect FrameRect(const TFrameGrid& grid, int index, int controlWidth, int controlHeight);

// Maps a control pixel to the sheet pixel drawn there when `frame` is stretched over
// a control of the given size (nearest pixel). False outside the control or frame.
bool SheetPointOf(const TRect& frame, int controlWidth, int controlHeight, int x, int y,
                  int* sheetX, int* sheetY);

// The frame, stretched to width x height when the sizes differ. Frame pixels that
// lie outside the sheet are transparent black: a grid placed partly off the sheet is
// clipped, never read out of bounds.
TBitmap32 ExtractFrame(const TBitmap32& sheet, const TRect& frame, int width, int height);
TBitmap32 ExtractFrame(const TSharedRowBitmap& sheet, const TRect& frame, int width, int height);

// Whether the control pixel (x, y) takes the mouse: the sheet pixel drawn there
// (same rectangle and scale as ExtractFrame) exists and its alpha is >= activeAlpha.
bool FrameHitTest(const TBitmap32& sheet, const TRect& frame, int controlWidth, int controlHeight,
                  int x, int y, int activeAlpha);
bool FrameHitTest(const TSharedRowBitmap& sheet, const TRect& frame, int controlWidth, int controlHeight,
                  int x, int y, int activeAlpha);

// Paints every pixel whose alpha is at least the colour's top byte with the colour's
// red, green and blue; alpha is kept. `color` is in the class library's encoding
// 0xTTBBGGRR (TT = alpha threshold). clNone changes nothing.
void RecolorFrame(TBitmap32& frame, std::uint32_t color);

// One colour channel of the blend: round((1 - f) * under) + round(f * over), rounding
// half to even, capped at 255 (two halves rounding up would otherwise make 256).
std::uint8_t BlendChannel(std::uint8_t under, std::uint8_t over, double f);

// Blends `frame` (the control's size) over `buffer` (the same size): for each pixel
// with frame alpha a > 0, f = a / 255 * (1 - transparency / 100), applied to blue,
// green and red; the buffer's alpha and the pixels with frame alpha 0 are untouched.
// A transparency of 100 or more leaves the buffer as it is.
void BlendFrame(TBitmap32& buffer, const TBitmap32& frame, int transparency);

// Blends `frame` into `buffer` with its top-left corner at (left, top) and f = a / 255,
// skipping frame pixels that fall outside the buffer (a slider's track).
void BlendFrameAt(TBitmap32& buffer, const TBitmap32& frame, int left, int top);

// Copies the frame's colours over the buffer (same size), ignoring the frame's alpha:
// the button is drawn opaque, transparent areas included. The result is opaque.
void CopyFrameOpaque(TBitmap32& buffer, const TBitmap32& frame);

// The part of `source` at (left, top) of the given size, clipped (outside is 0).
TBitmap32 CropBitmap(const TBitmap32& source, int left, int top, int width, int height);

// The buffer of a button, from its background (the control's size, or empty when no
// blending is needed) and its frame (recoloured and captioned, the control's size):
// with blending, the background with the frame blended over it by `transparency`,
// or the background alone when the frame cannot be blended (`frameBlendable` false:
// no sheet) or the transparency is above 100; without blending, the frame, opaque.
TBitmap32 ComposeButtonBuffer(const TBitmap32& background, const TBitmap32& frame, bool blending,
                              bool frameBlendable, int transparency);
