#pragma once
// The program's own cursors: their numbers, the pictures the cursor generator
// draws into the installation folder, and their hot spots.
#include <array>
#include <string_view>

// Cursor numbers: the program's own cursors (positive) and the standard sizing
// cursors (negative).
enum TCustomCursor : int {
  crSizeNESW = -6,
  crSizeNS = -7,
  crSizeNWSE = -8,
  crSizeWE = -9,
  crDefault = 0,
  crBrush = 101,
  crEraser = 102,
  crPipette = 103,
  crModify = 104,
  crHandFlat = 108,
  crHandGrab = 109,
  crHandFlatAll = 111,
  crHandGrabAll = 112,
  crRotate = 113,
};

struct TProgramCursorSpec {
  int Number;
  std::string_view File;  // under ExePath + kCursorFolder
  int HotX;
  int HotY;
};

constexpr std::string_view kCursorFolder = "Cursors\\";
constexpr int kCursorSide = 32;

// In the order the generator draws them.
constexpr std::array<TProgramCursorSpec, 9> kProgramCursors{{
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
constexpr const TProgramCursorSpec* FindProgramCursor(int number) {
  for (const TProgramCursorSpec& spec : kProgramCursors)
    if (spec.Number == number) return &spec;
  return nullptr;
}
