#pragma once
// The house look of the default skins: deep slate windows with rounded corners, a
// teal title strip and recessed content wells; everything outside the window is
// pure green (0x00FF00), which the program cuts away.
#include <QImage>

#include "SkinTable.h"
#include "picture/Bitmap32.h"

// `desk` is where the main window shows the montage desk (the interface file's
// DesktopWindowX, Y, Width, Height of the same resolution folder).
QImage PaintSkin(TSkinStyle style, int width, int height, const QRect& desk);
// The painted picture with its edges settled: pixels less than half covered
// become the key colour, the others opaque, so no green fringe remains.
TBitmap32 KeyedSkin(const QImage& painted);
