#pragma once
// Where each row of a picture with alpha shows anything, measured once when the
// picture is made, so that a compositor need neither read a layer's clear
// margins nor lay what an opaque layer above hides.
#include <vector>

#include "picture/Bitmap32.h"

struct TAlphaSpan {
  int Left = 0;  // every pixel outside [Left, Right) is clear
  int Right = 0;
  int SolidLeft = 0;  // [SolidLeft, SolidRight): the row's longest run of opaque pixels
  int SolidRight = 0;
};

TAlphaSpan MeasureAlphaSpan(const TColor32* row, int width);
// One span a row, top first.
std::vector<TAlphaSpan> MeasureAlphaSpans(const TBitmap32& picture);
