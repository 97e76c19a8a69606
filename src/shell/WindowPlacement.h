#pragma once
// Where a window goes beside the window it is laid out from (the main window).
#include "platform/Geometry.h"

// The top-left corner of a window `width` x `height` placed at `offset` from
// `frameCorner` (the top-left corner of the window it is laid out from), moved
// the least that keeps it whole on `screen`: a frame dragged to an edge, or off
// the screen altogether, never takes the window out of reach. A window larger
// than the screen keeps its top-left corner on it, where its caption is.
TPoint PlaceBesideFrame(TPoint frameCorner, TPoint offset, int width, int height, const TRect& screen);
