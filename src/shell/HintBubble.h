#pragma once
// The sound hint's text, placement and elliptic bubble, apart from the window.
#include <string>
#include <string_view>

#include "picture/Bitmap32.h"

struct THintParts {
  std::string Text;  // what the bubble shows
  std::string Wave;  // the wave file to play; empty without a delimiter
  bool HasWave = false;
};
// Splits at the first `delimiter`; without one the whole hint is the text.
THintParts SplitHint(std::string_view hint, std::string_view delimiter);

struct THintRect {
  int Left, Top, Width, Height;
  bool operator==(const THintRect&) const = default;
};
// The bubble for a text of textWidth x textHeight: the rectangle times the
// coefficient (at least 1), rounded.
THintRect ScaleHintRect(int textWidth, int textHeight, double coefficient);
// Centres the bubble on rect's left edge, keeps it inside the screen and, when it
// had to move up over the cursor, puts it just above the cursor.
THintRect PlaceHint(THintRect rect, int screenWidth, int screenHeight, int cursorY);
// Blends `background` (0xRRGGBB) into the captured screen inside the ellipse that
// fills the picture: solid at the centre, fading to the screen at the rim.
void BlendHintBubble(TBitmap32& screen, std::uint32_t background);
