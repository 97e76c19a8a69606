#pragma once
// Page layouts of the print window: one to four pictures on a sheet. Page
// positions are the quarters 1 top-left, 2 top-right, 3 bottom-left, 4
// bottom-right; a layout maps the slots the user sees onto them. Printed measures
// are tenths of a millimetre; halving truncates toward zero, rounding is half to even.
#include <span>
#include <vector>

#include "platform/Geometry.h"

// The usable part of the sheet after the margins (percent of the page), centred
// on the sheet: Left and Top are half the margins.
struct TPrintableArea {
  int Width = 0;   // tenths of a millimetre
  int Height = 0;
  int Left = 0;
  int Top = 0;
};
TPrintableArea PrintableArea(int pageWidthMm, int pageHeightMm, int leftRightMarginPercent,
                             int topBottomMarginPercent);

// Number of slots of a layout (1..4); 0 for an unknown layout.
int SlotCount(int layout);
// The page position of a slot in a layout; 0 when the slot does not exist.
int SlotToPosition(int layout, int slot);

struct TSlotHit {
  int Slot = 0;  // 0 when the layout is unknown
  TRect Rect;    // the slot's rectangle on the page preview
};
// The slot under a point of a page preview of width x height pixels.
TSlotHit HitTestPage(int layout, int x, int y, int width, int height);
// The rectangle of a page position on the page preview: the top half for
// position 1 in layouts 2 and 3, the bottom half for position 3 in layout 2,
// the whole page in layout 1, the quarter otherwise.
TRect PositionRect(int layout, int position, int width, int height);

// Where a picture of pictureWidth x pictureHeight is drawn inside `area` on a
// preview: as large as fits, keeping its aspect, centred. Empty for a picture
// without size or an empty area.
TRect FitPreview(int pictureWidth, int pictureHeight, const TRect& area);

// The printed box (tenths of a millimetre, from the printable origin) of a picture
// at a page position: scaled to its area's width (whole page, quarters) or height
// (halves), centred in the area; a picture that would then run out of its area is
// scaled to the other side instead, so it always stays inside. Empty for a picture
// without size or a position the layout does not use.
TRect PrintPlacement(int layout, int position, int pictureWidth, int pictureHeight, const TPrintableArea& area);

// Tenths of a millimetre to device pixels at `dpi`.
int TenthsToDevice(int tenths, int dpi);
// The device rectangle a bitmap covers when printed at device pixel (left, top)
// with a size in tenths of a millimetre.
TRect PrintDeviceRect(int left, int top, int widthTenths, int heightTenths, int dpiX, int dpiY);

// A list printed as strips one below the other, each scaled to the printable
// width: where each strip goes (tenths of a millimetre from the printable origin).
// Strips are 8 mm apart; one that would run past the printable height starts the
// next page, unless it is the first on its page (then it is printed and cut).
struct TStripPlace {
  int Page = 0;  // 0 for the first
  int Top = 0;
  int Height = 0;
};
struct TStripSize {
  int Width = 0;
  int Height = 0;
};
std::vector<TStripPlace> PlaceStrips(std::span<const TStripSize> strips, const TPrintableArea& area);
