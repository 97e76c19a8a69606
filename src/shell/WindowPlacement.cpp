#include "shell/WindowPlacement.h"

#include <algorithm>

namespace {
int KeepWithin(int start, int length, int low, int high) {
  // The far edge first, so that the near one wins when the window is too long.
  return std::max(std::min(start, high - length), low);
}
}  // namespace

TPoint PlaceBesideFrame(TPoint frameCorner, TPoint offset, int width, int height, const TRect& screen) {
  const TPoint wanted{frameCorner.X + offset.X, frameCorner.Y + offset.Y};
  if (screen.IsEmpty()) return wanted;
  return {KeepWithin(wanted.X, width, screen.Left, screen.Right),
          KeepWithin(wanted.Y, height, screen.Top, screen.Bottom)};
}
