#pragma once
// The program's own desk cursors: their numbers, the pictures the content
// generator draws into the installation folder, and their hot spots.
#include <array>
#include <string_view>

struct TDeskCursorSpec {
  int Number;
  std::string_view File;  // under ExePath + kCursorFolder
  int HotX;
  int HotY;
};

constexpr std::string_view kCursorFolder = "Cursors\\";
constexpr int kCursorSide = 32;

// In the order the generator draws them.
constexpr std::array<TDeskCursorSpec, 9> kDeskCursors{{
    {101, "brush.png", 15, 15},
    {102, "eraser.png", 15, 15},
    {103, "pipette.png", 2, 29},
    {104, "modify.png", 15, 15},
    {108, "hand-flat.png", 15, 15},
    {109, "hand-grab.png", 15, 15},
    {111, "hand-flat-all.png", 15, 15},
    {112, "hand-grab-all.png", 15, 15},
    {113, "rotate.png", 15, 15},
}};

// The cursor of that number; nullptr when the program has no picture for it.
constexpr const TDeskCursorSpec* FindDeskCursor(int number) {
  for (const TDeskCursorSpec& spec : kDeskCursors)
    if (spec.Number == number) return &spec;
  return nullptr;
}
