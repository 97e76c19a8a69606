#include "shell/HintBubble.h"

#include <algorithm>

#include "platform/Numeric.h"

THintParts SplitHint(std::string_view hint, std::string_view delimiter) {
  std::size_t at = delimiter.empty() ? std::string_view::npos : hint.find(delimiter);
  if (at == std::string_view::npos) return {std::string(hint), {}, false};
  return {std::string(hint.substr(0, at)), std::string(hint.substr(at + delimiter.size())), true};
}

THintRect ScaleHintRect(int textWidth, int textHeight, double coefficient) {
  coefficient = std::max(coefficient, 1.0);
  return {0, 0, RoundInt(textWidth * coefficient), RoundInt(textHeight * coefficient)};
}

THintRect PlaceHint(THintRect r, int screenWidth, int screenHeight, int cursorY) {
  r.Left -= r.Width / 2;
  if (r.Left + r.Width > screenWidth) r.Left = screenWidth - r.Width;
  if (r.Top + r.Height > screenHeight) {
    r.Top = screenHeight - r.Height;
    if (cursorY >= r.Top && cursorY < r.Top + r.Height) r.Top = cursorY - r.Height;
  }
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  return r;
}

void BlendHintBubble(TBitmap32& screen, std::uint32_t background) {
  const int cx = screen.Width() / 2, cy = screen.Height() / 2;
  if (cx == 0 || cy == 0) return;
  const double bg[3] = {double((background >> 16) & 0xFF), double((background >> 8) & 0xFF),
                        double(background & 0xFF)};
  for (int y = 0; y < screen.Height(); ++y) {
    const double dy = double(y - cy) / cy;
    TColor32* row = screen.PixelPtr(0, y);
    for (int x = 0; x < screen.Width(); ++x) {
      const double dx = double(x - cx) / cx;
      const double d = dx * dx + dy * dy;
      if (d >= 1.0) continue;
      const TColor32 p = row[x];
      const double under[3] = {double(RedOf(p)), double(GreenOf(p)), double(BlueOf(p))};
      std::uint8_t c[3];
      for (int i = 0; i < 3; ++i) c[i] = std::uint8_t(std::clamp<std::int64_t>(RoundHalfEven((1 - d) * bg[i] + d * under[i]), 0, 255));
      row[x] = Color32(c[0], c[1], c[2], AlphaOf(p));
    }
  }
}
