#pragma once
// What the desk's mouse tools see of the desk (its layers and selection, the hit
// test, repaints, the layer popup, the cursor, the warp field and the flags the
// tools share) and of the main window. The montage desk implements the first,
// the main window the second.
#include <string_view>
#include <vector>

#include "editor/DeskMode.h"
#include "editor/DeskToolSettings.h"
#include "picture/ChangeKind.h"
#include "platform/Geometry.h"
#include "shell/DeskGeometry.h"

class TBitmap32;
class TLayer;

// One cell of the warp tool's displacement field.
struct TWarpCell {
  double DX = 0;
  double DY = 0;
};

// What a press leaves for its release. The desk keeps it, so a tool changed
// between the two still sees it.
struct TDeskToolFlags {
  bool InMouseUp = false;  // a release is being handled (its popup runs a message loop)
  bool SelectionChangedOnPress = false;
  // The desk draws the selection frame only while this is set; drags that would
  // smear it clear it until the release.
  bool SelectionFrameShown = true;
};

class IDeskToolHost {
 public:
  // The warp field covers canvas points 0 to kWarpFieldSide - 1 each way.
  static constexpr int kWarpFieldSide = 1024;

  virtual ~IDeskToolHost() = default;

  virtual int LayerCount() const = 0;
  virtual TLayer& Layer(int index) = 0;
  // -1 when the layer is not on the desk (any more).
  virtual int IndexOfLayer(const TLayer* layer) const = 0;
  virtual int SelectedIndex() const = 0;
  virtual TLayer* SelectedLayer() = 0;
  // Index -1 deselects.
  virtual void SelectLayer(int index) = 0;
  // The layer under canvas point (x, y); see the desk's rules for Ctrl and cycling.
  virtual int LayerAt(int x, int y, bool ctrl, bool cycle) = 0;
  virtual TPoint DeskToCanvas(TPoint point) const = 0;
  // The canvas and window sizes, the scale and the view.
  virtual const TDeskGeometry& DeskGeometry() const = 0;

  // A long desk operation runs the message loop: presses and releases wait.
  virtual bool DeskBusy() const = 0;
  virtual TDeskToolFlags& ToolFlags() = 0;
  // A press began a gesture: the first only-if-pending history push takes it.
  virtual void SetUndoPending(bool pending) = 0;

  virtual void SetChanged(TChangeKind code) = 0;
  virtual void SetControls() = 0;
  virtual void SetDeskCursor(int cursor) = 0;
  // Composites `rect` (desk-window pixels) afresh and shows it.
  virtual void RefreshRect(const TRect& rect) = 0;
  // Shows `rect` from what is composited already.
  virtual void PaintRect(const TRect& rect) = 0;
  virtual const TBitmap32& DeskBitmap() const = 0;
  // Opens the layer popup menu for the layer at `layerIndex` (-1 none) at a
  // desk-window point.
  virtual void OpenLayerPopup(int layerIndex, TPoint windowPoint) = 0;

  // kWarpFieldSide squared cells while allocated, row by row.
  virtual std::vector<TWarpCell>& WarpField() = 0;
  virtual void SetWarpFieldAllocated(bool allocated) = 0;
  virtual void ClearWarpField() = 0;
};

// What the mouse tools need from the main window. The main window implements it;
// tests record.
class IDeskToolOwner {
 public:
  virtual ~IDeskToolOwner() = default;
  virtual TDeskMode DeskMode() const = 0;
  virtual TDeskToolSettings ToolSettings() const = 0;
  // Moves the view origin to canvas (left, top); the position sliders follow
  // without running their change handlers.
  virtual void ScrollDesk(int left, int top) = 0;
  // The colour picked from the desk becomes the brush colour (and its button).
  virtual void SetBrushColor(int red, int green, int blue) = 0;
  virtual void ShowTip(std::string_view page) = 0;
};
