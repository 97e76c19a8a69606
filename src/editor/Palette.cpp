#include "editor/Palette.h"

#include <algorithm>

#include "platform/Text.h"
#include "platform/TextFile.h"

namespace {

// One "r,g,b" entry; nothing unless each part is a whole number 0..255.
std::optional<int> ParseRgb(std::string_view text) {
  const std::vector<std::string> parts = SplitFields(text, ',');
  if (parts.size() != 3) return std::nullopt;
  int color = 0;
  for (int i = 0; i < 3; ++i) {
    const std::optional<int> v = ParseInt(Trim(parts[i]));
    if (!v || *v < 0 || *v > 255) return std::nullopt;
    color |= *v << (8 * i);
  }
  return color;
}

void ParseLine(const std::string& line, TPalette& palette) {
  const std::vector<std::string> fields = SplitFields(line);
  palette.PaletteName = fields.empty() ? std::string() : Trim(fields[0]);
  palette.Colors.clear();
  const std::optional<int> declared = fields.size() > 1 ? ParseInt(Trim(fields[1])) : std::nullopt;
  if (!declared) return;
  const int wanted = std::min(*declared, kMaxPaletteColors);
  for (std::size_t i = 2; int(palette.Colors.size()) < wanted && i < fields.size(); i += 2) {
    const std::optional<int> color = ParseRgb(fields[i]);
    if (!color) return;
    palette.Colors.push_back({*color, i + 1 < fields.size() ? Trim(fields[i + 1]) : std::string()});
  }
}

}  // namespace

void TPalette::Read(const fs::path& file) {
  const TFileResult<std::vector<std::string>> lines = ReadTextLines(file);
  if (!lines) return;
  int count = 0;
  for (const std::string& raw : *lines) {
    const std::string line = Trim(raw);
    if (line.empty() || line.front() == '#') continue;
    if (++count == CurrentPaletteNo) ParseLine(line, *this);
  }
  PaletteCount = count;
  PaletteFirstColor = 0;
}

void TPalette::Prev(const fs::path& file) {
  if (PaletteCount < 1) return;
  CurrentPaletteNo = CurrentPaletteNo <= 1 ? PaletteCount : CurrentPaletteNo - 1;
  Read(file);
}

void TPalette::Next(const fs::path& file) {
  if (PaletteCount < 1) return;
  CurrentPaletteNo = CurrentPaletteNo >= PaletteCount ? 1 : CurrentPaletteNo + 1;
  Read(file);
}

const TPaletteColor* TPalette::Find(int color) const {
  for (const TPaletteColor& c : Colors)
    if (c.Color == color) return &c;
  return nullptr;
}

TPaletteSlots PaletteSlots(const TPalette& palette, int rows, int cols) {
  TPaletteSlots slots;
  const int count = int(palette.Colors.size());
  if (rows < 1 || cols < 1) return slots;
  if (rows * cols < count) {
    slots.Scrolls = true;
    slots.SliderMax = count / cols - rows + (count % cols > 0 ? 1 : 0);
    slots.SliderValue = palette.PaletteFirstColor / cols;
  }
  for (int i = 0; i < rows * cols; ++i) {
    const int index = palette.PaletteFirstColor + i;
    slots.Slot.push_back(index < count ? index : -1);
  }
  return slots;
}

std::vector<TPalettePlace> PalettePlaces(std::string_view text, int count) {
  // "x,y; x,y" and "x,y, x,y" alike: the numbers in order, taken in pairs.
  std::vector<int> numbers;
  for (const std::string& part : SplitFields(text, ';'))
    for (const std::string& token : SplitFields(part, ',')) {
      if (Trim(token).empty()) continue;
      const std::optional<int> n = ParseInt(Trim(token));
      if (!n) return {};
      numbers.push_back(*n);
    }
  if (numbers.size() % 2 != 0 || int(numbers.size() / 2) < count) return {};
  std::vector<TPalettePlace> places;
  for (std::size_t i = 0; i < numbers.size(); i += 2) places.push_back({numbers[i], numbers[i + 1]});
  return places;
}
