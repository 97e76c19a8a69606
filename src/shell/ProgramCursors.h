#pragma once
// The program's own cursors: their numbers, the pictures the cursor generator
// draws into the installation folder, and their hot spots.
#include <array>
#include <string>
#include <string_view>

// Cursor numbers as the windows set them: the program's own cursors (positive),
// the class library's standard shapes (negative) and the default (0).
enum TCustomCursor : int {
  crSizeAll = -22,
  crPointingHand = -21,
  crHelp = -20,
  crAppStart = -19,
  crNo = -18,
  crVSplit = -15,
  crHSplit = -14,
  crNoDrop = -13,
  crDrag = -12,
  crHourGlass = -11,
  crUpArrow = -10,
  crSizeWE = -9,
  crSizeNWSE = -8,
  crSizeNS = -7,
  crSizeNESW = -6,
  crIBeam = -4,
  crCross = -3,
  crArrow = -2,
  crDefault = 0,
  crBrush = 101,
  crEraser = 102,
  crPipette = 103,
  crModify = 104,
  crEye = 105,
  crEyeLines = 107,
  crHandFlat = 108,
  crHandGrab = 109,
  crHandPoint = 110,
  crHandFlatAll = 111,
  crHandGrabAll = 112,
  crRotate = 113,
  crLasso = 114,
  crHandInfo = 115,
  crHand3D = 116,
  crHandVideo = 117,
};

struct TProgramCursor {
  int Number;
  std::string_view Name;  // the resource name; its picture is the lower-cased name + ".png"
  int HotX;
  int HotY;
};

constexpr std::string_view kCursorFolder = "Cursors\\";
constexpr int kCursorSide = 32;

// In the order the generator draws them.
constexpr std::array<TProgramCursor, 16> kProgramCursors{{
    {crBrush, "BRUSH", 15, 15},
    {crEraser, "ERASER", 15, 15},
    {crPipette, "PIPETTE", 2, 29},
    {crModify, "MODIFY", 15, 15},
    {crEye, "EYE", 15, 15},
    {crEyeLines, "EYELNS", 15, 15},
    {crHandFlat, "HANDFLAT", 15, 15},
    {crHandGrab, "HANDGRAB", 15, 15},
    {crHandPoint, "HANDPOINT", 11, 3},
    {crHandFlatAll, "HANDFLATALL", 15, 15},
    {crHandGrabAll, "HANDGRABALL", 15, 15},
    {crRotate, "ROTATE", 15, 15},
    {crLasso, "LASSO", 4, 28},
    {crHandInfo, "HANDINFO", 11, 3},
    {crHand3D, "HAND3D", 11, 3},
    {crHandVideo, "HANDVIDEO", 11, 3},
}};

// The cursor of that number; nullptr when the program has no picture for it.
constexpr const TProgramCursor* FindProgramCursor(int number) {
  for (const TProgramCursor& spec : kProgramCursors)
    if (spec.Number == number) return &spec;
  return nullptr;
}

// The cursor's picture relative to the installation folder ("Cursors\brush.png").
std::string ProgramCursorFile(const TProgramCursor& spec);
