#pragma once
// Filling a polygon given by pixel vertices onto a grid of cells: the cells of its
// outline (straight lines between consecutive vertices, closed) and the cells whose
// centres lie inside it by the even-odd rule, so a self-crossing outline leaves
// the doubly enclosed parts empty.
#include <functional>
#include <span>

#include "platform/Geometry.h"

// Calls `run`(y, x0, x1) for horizontal runs of covered cells (x0 <= x1, both
// inclusive) clipped to width x height. Runs may overlap.
void FillPolygonCells(std::span<const TPoint> polygon, int width, int height,
                      const std::function<void(int y, int x0, int x1)>& run);
