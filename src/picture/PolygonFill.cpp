#include "picture/PolygonFill.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

void ClippedRun(int y, int x0, int x1, int width, int height,
                const std::function<void(int, int, int)>& run) {
  if (y < 0 || y >= height) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, width - 1);
  if (x0 <= x1) run(y, x0, x1);
}

// Bresenham's line, cell by cell.
void Outline(TPoint a, TPoint b, int width, int height, const std::function<void(int, int, int)>& run) {
  int dx = std::abs(b.X - a.X), sx = a.X < b.X ? 1 : -1;
  int dy = -std::abs(b.Y - a.Y), sy = a.Y < b.Y ? 1 : -1;
  int err = dx + dy;
  int x = a.X, y = a.Y;
  for (;;) {
    ClippedRun(y, x, x, width, height, run);
    if (x == b.X && y == b.Y) break;
    int e2 = 2 * err;
    if (e2 >= dy) { err += dy; x += sx; }
    if (e2 <= dx) { err += dx; y += sy; }
  }
}

}  // namespace

void FillPolygonCells(std::span<const TPoint> polygon, int width, int height,
                      const std::function<void(int y, int x0, int x1)>& run) {
  const std::size_t n = polygon.size();
  if (n == 0 || width <= 0 || height <= 0) return;
  int minY = polygon[0].Y, maxY = polygon[0].Y;
  for (const TPoint& p : polygon) {
    minY = std::min(minY, p.Y);
    maxY = std::max(maxY, p.Y);
  }
  minY = std::max(minY, 0);
  maxY = std::min(maxY, height - 1);
  // Interior: cell centres are the integer points; an edge counts on a row when the
  // row lies in its half-open span [low y, high y), so a vertex is crossed once.
  std::vector<double> crossings;
  for (int y = minY; y <= maxY; ++y) {
    crossings.clear();
    for (std::size_t i = 0; i < n; ++i) {
      TPoint a = polygon[i], b = polygon[(i + 1) % n];
      if (a.Y == b.Y) continue;
      if (a.Y > b.Y) std::swap(a, b);
      if (y < a.Y || y >= b.Y) continue;
      crossings.push_back(a.X + double(y - a.Y) * (b.X - a.X) / double(b.Y - a.Y));
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
      // Cells whose centre lies within [left, right].
      double left = std::max(crossings[i], -1.0), right = std::min(crossings[i + 1], double(width));
      ClippedRun(y, int(std::ceil(left)), int(std::floor(right)), width, height, run);
    }
  }
  for (std::size_t i = 0; i < n; ++i) Outline(polygon[i], polygon[(i + 1) % n], width, height, run);
}
