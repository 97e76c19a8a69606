#pragma once
// Draws the adjust window's view: the fitted picture with the current kind's lines,
// frames and markers over it. The marker numbers need a font and are left to the
// window.
#include "editor/AdjustModel.h"

// `view` holds a copy of the fitted picture. Lines and frames are inverted pixels
// (each line on its own, so where two cross the picture shows again); a marker's
// picture is ANDed on, so its white is transparent.
void DrawAdjustView(TBitmap32& view, const TAdjustModel& model);
