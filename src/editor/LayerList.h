#pragma once
// The layers list and the portrait preview without their windows: the rows'
// thumbnails, the preview's fitting, the list's mouse state (select, menu, drag
// to reorder) and the links through which the desk reaches the two windows.
#include <functional>
#include <optional>

#include "picture/Bitmap32.h"
#include "platform/Geometry.h"

class TLayer;

inline constexpr int kLayerThumbSide = 44;
inline constexpr int kLayerRowHeight = 50;

// Where a picture of w x h is drawn in its 44 x 44 thumbnail (empty for no picture).
TRect LayerThumbnailPlace(int width, int height);
// The row thumbnail: transparent, with the picture stretched (alpha-aware) into
// its place; all transparent for an empty picture.
TBitmap32 LayerThumbnail(const TBitmap32& picture);

// Where a picture of w x h is drawn in a preview of rw x rh: fitted keeping its
// aspect, centred. Empty for an empty picture or preview.
TRect PortraitPreviewPlace(int width, int height, int previewWidth, int previewHeight);
// The preview: white, the picture stretched into its place and a black frame
// around the whole; plain white without a picture.
TBitmap32 PortraitPreview(const TBitmap32* picture, int previewWidth, int previewHeight);

// What a mouse release on the list asks for.
enum class TListClick { None, Select, Menu };

// The list's mouse: a press marks a row, a short release selects it (left button)
// or opens the layer menu for it (other buttons), a movement of 3 pixels starts
// dragging it, a drop on another row moves the layer there. Rows are desk
// indices: row 0 is the top layer.
class TLayerListMouse {
 public:
  static constexpr int kDragDistance = 3;
  static constexpr int kScrollMargin = 20;

  int PressedRow = -1;
  int DropRow = -1;
  TPoint PressPoint = {0, 0};
  bool LeftPressed = false;
  bool Dragging = false;
  bool KeyboardSelect = false;

  // `row` is the row under the mouse, -1 below the last one.
  void Press(int row, TPoint point, bool left);
  // True when this movement starts dragging the pressed row.
  bool Move(TPoint point, bool leftHeld, int rowCount);
  // The release's request and its row; nothing while dragging, far from the
  // press or off the rows.
  TListClick Release(TPoint point, int& row);
  // The row under a drag; whether a drop there is accepted.
  bool DragOver(int row);
  // The move a drop on `row` asks for: (from, to), none on the dragged row itself
  // or off the rows.
  std::optional<std::pair<int, int>> Drop(int row);
  void EndDrag();
  // The auto-scroll during a drag at list point y of a list `height` high: -1 up,
  // 1 down, 0 none.
  static int ScrollDirection(int y, int height);
};

// How the desk reaches the two windows; each is set while its window exists.
struct TLayerWindowLinks {
  std::function<void()> RefreshLayerList;
  std::function<void(int)> LayerListSelect;
  std::function<void(int)> LayerListVisibilityChanged;
  std::function<void(const TLayer&)> LayerListLookChanged;
  // The portrait preview shows the desk's PortraitBitmap again (or white without a portrait).
  std::function<void()> ShowPortrait;
  std::function<void()> ClearPortraitPreview;
  // The layer-regions window shows the regions of this layer (nullptr: none).
  std::function<void(TLayer*)> RegionsShowLayer;
};
TLayerWindowLinks& LayerWindowLinks();
