#pragma once
// The program's own cursor pictures: 32 x 32 with alpha, dark outlines over light
// fills so they show on any picture.
#include <QImage>

// The picture of cursor `number` (see shell/ProgramCursors.h); a null image for a
// number the program draws no picture for.
QImage PaintProgramCursor(int number);
