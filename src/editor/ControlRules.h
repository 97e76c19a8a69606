#pragma once
// Which tool controls of the main window are wanted, enabled and pressed for the
// current mode, selection and layer list. The window applies the plan: it hides
// every unwanted control first and only then shows the wanted ones, so controls
// that share a place never appear together.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "editor/DeskMode.h"

struct TControlsInput {
  int LayerCount = 0;
  int SelectedIndex = -1;
  bool SelectedVisible = false;
  int SelectedHistoryCount = 0;
  int Mode = dmNone;
  bool CopiedState = false;
  bool HasPortrait = false;
  int PaletteSliderTag = 0;  // > 0: the palette has more colours than slots
  int FlipTag = 1;           // ButtonLayerFlipHorizontal is wanted only at 1
  int LayerToolsTag = 1;     // a panel's Tag is 0 when the panel is not wanted
  int DesktopToolsTag = 1;
  // Whether the mode skin picture of each mode (index = mode) has a picture.
  std::array<bool, kDeskModeCount> ModeSkinPresent{};
};

enum class TControlKind : std::uint8_t { Slider, Button, Other };

struct TControlDecision {
  std::string_view Name;
  TControlKind Kind = TControlKind::Other;
  bool Wanted = false;
  bool Enabled = true;  // for sliders and buttons
};

struct TControlsPlan {
  bool DeskVisible = false;
  bool LayerToolsVisible = false;
  bool DesktopToolsVisible = false;
  // Nothing below applies without layers: the controls keep their state.
  bool HasLayers = false;
  // Pressed state of the mode buttons, in the order of ModeButtonNames.
  std::array<bool, 6> ModePressed{};
  bool PaletteActive = false;
  // Every control of the layer-tools panel the rules speak of.
  std::vector<TControlDecision> Panel;
  bool UndoEnabled = false;
  // The brush colour button shows the brush colour (and the pipette cursor) only
  // with a selection.
  bool BrushColorShown = false;

  const TControlDecision* Find(std::string_view name) const;
};

// The six mode buttons and their modes (ButtonColoration = mode 1 ...).
struct TModeButton {
  std::string_view Name;
  TDeskMode Mode;
  std::string_view TipPage;
};
extern const std::array<TModeButton, 6> ModeButtons;

TControlsPlan PlanControls(const TControlsInput& input);

// The five layer buttons for a selected row of `count` layers (-1: none); the
// main window's and the layers list's follow the same rules.
struct TLayerButtonRules {
  bool MoveTopEnabled = false;
  bool MoveBottomEnabled = false;
  bool DeleteEnabled = false;
  bool HideShown = false;  // the hide button shows for a visible layer
  bool ShowShown = true;   // the show button for a hidden one, or without a selection
  bool HideShowEnabled = false;
};
TLayerButtonRules LayerButtonRules(int count, int selected, bool selectedVisible);
