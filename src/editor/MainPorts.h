#pragma once
// What the main window's editing state uses of the desk and of its own window.
// The desk model and the Qt window implement them; tests fake them.
#include <string>
#include <string_view>

#include "editor/ControlRules.h"
#include "editor/DeskViewGeometry.h"
#include "picture/ColorValues.h"

class TLayer;

class IMainDesk {
 public:
  virtual ~IMainDesk() = default;

  virtual int LayerCount() const = 0;
  // 0 <= index < LayerCount(); index 0 is the top of the stack.
  virtual TLayer& Layer(int index) = 0;
  virtual int SelectedIndex() const = 0;
  virtual bool HasPortraitLayer() const = 0;
  // The desk window is shown.
  virtual bool DeskVisible() const = 0;

  virtual void MoveLayer(int from, int to) = 0;
  // Asks the user first.
  virtual void DeleteLayer(int index) = 0;
  virtual void DeleteLayersByKind(const std::string& letter, int typeId, bool reselect) = 0;
  virtual void ToggleLayerVisibility(int index) = 0;

  // The cached composite used while scrolling.
  virtual bool HasViewBitmap() const = 0;
  virtual void ClearViewBitmap() = 0;
  virtual void RebuildViewBitmap() = 0;
  // Places the cached composite for the view origin (left, top) of the canvas.
  virtual void PlaceViewBitmap(int viewLeft, int viewTop) = 0;
  // The whole desk window: repainted (from the cache when there is one), or
  // composed afresh from the layers.
  virtual void RepaintDesk() = 0;
  virtual void RecomposeDesk() = 0;

  // The warp tool's displacement field (1024 x 1024 zero cells) exists only in
  // the modify mode.
  virtual void SetWarpFieldAllocated(bool allocated) = 0;
  virtual void SetDeskCursor(int cursor) = 0;
  // A user gesture (a press on the desk or a value slider) has begun: the
  // selected layer's next only-if-pending history push records one item and
  // clears it.
  virtual void SetUndoPending(bool pending) = 0;
};

class IMainView {
 public:
  virtual ~IMainView() = default;

  // Hides, shows, enables and presses the controls as planned.
  virtual void ApplyControls(const TControlsPlan& plan) = 0;
  // What only the window knows for the plan: the tags and the mode skins.
  virtual void FillControlsInput(TControlsInput& input) const = 0;
  // The eight value sliders take the values; their change handlers do not run.
  virtual void ShowValueSliders(const TColorValues& values) = 0;
  virtual void ShowLayerLabel(const std::string& text) = 0;
  // The scroll sliders take the ranges; their change handlers do not run.
  virtual void ShowScrollSliders(const TSliderRange& horizontal, const TSliderRange& vertical) = 0;

  virtual void ShowTip(std::string_view page) = 0;
  virtual void RefreshPalette() = 0;
  virtual void ProcessMessages() = 0;
  // A yes/no question in the program's message box; 6 means yes.
  virtual int AskYesNo(const std::string& text) = 0;
  virtual void MinimizeApplication() = 0;
};
