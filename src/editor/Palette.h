#pragma once
// The named colour palettes of "PalData.txt", one shown at a time, and the grid
// of slots that shows them a row at a time under a slider.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

// A palette holds at most this many colours; a longer line is cut.
constexpr int kMaxPaletteColors = 50;

struct TPaletteColor {
  int Color = 0;  // $00BBGGRR
  std::string Name;
};

class TPalette {
 public:
  // Reads palette CurrentPaletteNo of the file and counts the palettes. Lines
  // are trimmed; empty ones and those starting with "#" are no palette. A line
  // holds name;count;r,g,b;colour name;... and its colours are those parsed up
  // to the first bad entry, at most kMaxPaletteColors. A missing file leaves
  // everything as it was; a number past the last palette keeps the colours.
  void Read(const fs::path& file);
  // The page buttons: the previous or next palette, wrapping at the ends, read
  // from the same file.
  void Prev(const fs::path& file);
  void Next(const fs::path& file);

  // The name of the palette colour `color`, or null when it has none.
  const TPaletteColor* Find(int color) const;

  int CurrentPaletteNo = 1;
  int PaletteCount = 0;
  std::string PaletteName;
  std::vector<TPaletteColor> Colors;
  int PaletteFirstColor = 0;  // index of the colour in the first slot
};

// What the slots and the colour slider show for `rows` x `cols` slots.
struct TPaletteSlots {
  bool Scrolls = false;  // more colours than slots: the slider and its buttons show
  int SliderMax = 0;
  int SliderValue = 0;
  // The colour index each slot shows, row by row; -1 for a slot past the end.
  std::vector<int> Slot;
};
TPaletteSlots PaletteSlots(const TPalette& palette, int rows, int cols);
// The first colour shown at slider position `value`.
inline int PaletteFirstColorAt(int value, int cols) { return value * cols; }

// The slot places of an interface value "x,y; x,y; ..." (or "x,y, x,y"): empty
// unless it holds at least `count` whole pairs of numbers.
struct TPalettePlace {
  int X, Y;
};
std::vector<TPalettePlace> PalettePlaces(std::string_view text, int count);
