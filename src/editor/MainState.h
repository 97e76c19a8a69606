#pragma once
// The editing state of the main window: the desk mode, the change notification
// with the saved flags, the value and tool sliders, the layer buttons, the
// keyboard shortcuts every window forwards, and the desk zoom and scroll. The
// window (editor/forms/FormMain) wires its controls to this; the desk reaches it
// as its owner.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "editor/DeskMode.h"
#include "editor/DeskOwner.h"
#include "editor/DeskToolSettings.h"
#include "editor/MainPorts.h"
#include "editor/SavedFlags.h"
#include "picture/Bitmap32.h"
#include "picture/ColorValues.h"
#include "picture/Layer.h"

class TLayer;
class TMask;
struct TTemplateBase;
struct TContentFolders;

// The eight value sliders, in the order of their names.
enum TValueSlider : std::uint8_t {
  vsRed,
  vsGreen,
  vsBlue,
  vsHue,
  vsSaturation,
  vsBrightness,
  vsContrast,
  vsOpacity,
};
constexpr int kValueSliderCount = 8;
extern const std::array<std::string_view, kValueSliderCount> ValueSliderNames;

// The six tool sliders.
enum TToolSlider : std::uint8_t {
  tsModifierSize,
  tsModifierPower,
  tsBrushSize,
  tsBrushPower,
  tsEraserSize,
  tsEraserPower,
};
constexpr int kToolSliderCount = 6;
extern const std::array<std::string_view, kToolSliderCount> ToolSliderNames;

// The value of one slider's setting in a set of colour values.
int ValueOf(const TColorValues& values, TValueSlider slider);
void SetValueOf(TColorValues& values, TValueSlider slider, int value);

// A slider's hint: the UI text of its hint key and the value as the user reads it.
// `name` is the slider's control name.
std::string SliderHint(std::string_view name, std::string_view term, int value);

// The tool settings are the state's own (ModifierSize ... BrushColorBlue).
class TMainState : public TDeskToolSettings, public IDeskOwner {
 public:
  // The desk geometry starts as `geometry` (the interface info's, in the
  // program); the zoom and the scrolling move its view. The layers' kinds come
  // from the types of `templates`, and templates are placed from the folders of
  // `content` (the settings'); both outlive the state.
  TMainState(IMainView& view, const TDeskGeometry& geometry, const TTemplateBase& templates,
             const TContentFolders& content);
  const TDeskGeometry& DeskGeometry() const override { return geometry_; }
  // The desk is made with the state as its owner, so it is attached afterwards;
  // nothing but the constructor runs before.
  void AttachDesk(IMainDesk& desk) { desk_ = &desk; }

  TDeskMode DeskMode() const { return deskMode_; }
  TChangeKind LastChange() const { return lastChange_; }

  // The change notification: records the code and clears the saved flags for
  // every code but the zoom and the scroll. Leaving the scroll code drops
  // the desk's cached view. Records no history, repaints nothing.
  void SetChanged(TChangeKind code) override;
  void SetDeskMode(int mode);
  // One handler for the six mode buttons (by control name).
  void ModeButtonClick(std::string_view name);

  // Enables, shows and presses the controls for the mode, selection and layers.
  void SetControls() override;
  // The value sliders show the layer's values (mask null) or its current region's;
  // a mask without a current region changes nothing. No change handler runs.
  void ShowLayerValues(const TLayer& layer, const TMask* mask) override;
  bool LoadingSliders() const { return loadingSliders_; }

  // A press on a value slider begins a gesture (one history item); the release
  // ends it.
  void ValueSliderPressed();
  void ValueSliderReleased();
  void ValueSliderChanged(TValueSlider slider, int value);
  void ToolSliderChanged(TToolSlider slider, int value);
  // A palette colour ($00BBGGRR) was chosen: in the paint mode it becomes the
  // brush colour; otherwise it tints the selected layer, or its current region,
  // with one history item. The tint it has already records nothing.
  void PaletteColorPicked(int color);

  // Key handlers (virtual-key codes, shift flags); a consumed key becomes 0.
  void KeyDown(int& key, int shift);
  void KeyUp(int& key, int shift);

  // Layer buttons; each acts on the selected layer and does nothing without one.
  void LayerMoveTopClick();
  void LayerMoveBottomClick();
  void LayerDeleteClick();
  void LayerShowHideClick();
  void LayerUndoClick();
  void LayerResetClick();
  void LayerFlipClick();
  void LayerCopyStateClick();
  void LayerPasteStateClick();
  // The bald-head editor or the colour calibration accepted: one history item of
  // `kind` on the portrait layer, then `picture` (the layer's size) replaces its
  // picture. False, with nothing changed, for a picture of another size.
  bool PortraitEdited(TLayer& portrait, TLayerHistoryKind kind, TBitmap32 picture);
  // The region editor's OK changed the layer's regions: the change is reported
  // and the layer shown with them.
  void LayerRegionsEdited(TLayer& layer);
  void ClearWorkClick();

  // Zoom and scroll. The scale is canvas pixels per desk-window pixel; the view
  // keeps its centre and stays inside the canvas; the scroll sliders follow.
  void SetDeskScale(double scale);
  // Moves the view origin; consecutive scroll steps reuse the desk's cached view.
  void ScrollDesk(int left, int top);
  // The tips page of `page` (shown only while tips are on).
  void ShowTip(std::string_view page) { view_.ShowTip(page); }
  void CentreDesk();
  void ShowScrollRanges();
  int ScaleSliderMax() const;

  bool WinKeyDown = false;
  TSavedFlags Saved;
  // The tint colour, the seven colour values and the opacity of the last copy.
  std::optional<TColorValues> CopiedLayerState;

  // The rest of what the desk and its layers ask of the main window.
  void ShowLayerLabel(const std::string& text) override;
  std::string RegionWord() const override;
  std::optional<std::string> TemplateTypeLetter(int typeId) const override;
  std::vector<std::string> ContentFolders() const override;
  int AskYesNo(const std::string& text) override;
  void RefreshLayerList() override;
  void LayerListSelect(int index) override;
  void LayerListVisibilityChanged(int index) override;
  void LayerListLookChanged(const TLayer& layer) override;
  void RegionsShowLayer(TLayer* layer) override;
  void ClearPortraitPreview() override;
  bool HasCatalogPage(const std::string& kind, const std::string& sourceFile) const override;
  void ShowCatalogPage(const std::string& kind, const std::string& sourceFile) override;

 private:
  TLayer* SelectedLayer();
  void MoveSelectedByKey(int key, int shift);

  IMainDesk* desk_ = nullptr;
  IMainView& view_;
  TDeskGeometry geometry_;
  const TTemplateBase& templates_;
  const TContentFolders& content_;
  TDeskMode deskMode_ = dmNone;
  TChangeKind lastChange_ = ckNone;
  bool loadingSliders_ = false;
};
