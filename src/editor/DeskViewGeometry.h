#pragma once
// Zoom and scroll arithmetic of the desk: which canvas rectangle the desk window
// shows at a scale, and the ranges of the scale and scroll sliders.
#include "platform/Geometry.h"

struct TDeskSizes {
  int WindowWidth = 0;  // the desk window, in screen pixels
  int WindowHeight = 0;
  int TableWidth = 0;  // the canvas, in picture pixels
  int TableHeight = 0;
};

// The view at `scale` (canvas pixels per window pixel) that keeps the centre of
// `view`, moved back inside the canvas.
TRect ScaledDeskView(const TDeskSizes& sizes, const TRect& view, double scale);

struct TSliderRange {
  int Min = 0;
  int Max = 0;
  int Value = 0;
};

// The scroll sliders: from 0 (the canvas edge must be reachable) to the canvas
// size less the view size.
TSliderRange HorizontalScrollRange(const TDeskSizes& sizes, const TRect& view);
TSliderRange VerticalScrollRange(const TDeskSizes& sizes, const TRect& view);

// The largest scale in percent whose view still fits the canvas (rounded down:
// rounding up would show a view wider than the canvas). At least 1.
int MaxDeskScalePercent(const TDeskSizes& sizes);

// The view origin of the centring button.
TPoint CentredViewOrigin(const TDeskSizes& sizes, const TRect& view);
