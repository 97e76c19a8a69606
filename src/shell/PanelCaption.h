#pragma once
// Where a draw panel writes its caption: between the child controls that end left
// of the middle and those that start right of it.
#include <vector>

struct TChildSpan {
  int Left;
  int Width;
};
enum class TCaptionAlign { Left, Right, Center };

struct TCaptionLimits {
  int Left;   // the largest right edge of the children ending left of the middle, else 0
  int Right;  // the smallest left edge of the children starting right of it, else the width
};

TCaptionLimits CaptionLimits(int panelWidth, const std::vector<TChildSpan>& children);
// The caption's x for a text `textWidth` wide.
int CaptionX(const TCaptionLimits& limits, int textWidth, TCaptionAlign align);
// The origins of the tiles that cover a panel (columns 0 .. width / tileWidth, rows
// likewise); none for an empty tile.
int TileCount(int panelSide, int tileSide);
