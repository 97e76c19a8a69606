#include "editor/MainState.h"

#include <cstdlib>

#include "picture/Layer.h"
#include "platform/KeyCodes.h"
#include "platform/Text.h"
#include "shell/Termins.h"

const std::array<std::string_view, kValueSliderCount> ValueSliderNames = {
    "SliderRedColor",   "SliderGreenColor", "SliderBlueColor", "SliderHue",
    "SliderSaturation", "SliderBrightness", "SliderContrast",  "SliderOpacity"};

const std::array<std::string_view, kToolSliderCount> ToolSliderNames = {
    "SliderModifierSize", "SliderModifierPower", "SliderBrushSize",
    "SliderBrushPower",   "SliderEraserSize",    "SliderEraserPower"};

int ValueOf(const TColorValues& v, TValueSlider slider) {
  switch (slider) {
    case vsRed: return v.Red;
    case vsGreen: return v.Green;
    case vsBlue: return v.Blue;
    case vsHue: return v.Hue;
    case vsSaturation: return v.Saturation;
    case vsBrightness: return v.Brightness;
    case vsContrast: return v.Contrast;
    case vsOpacity: return v.Opacity;
  }
  return 0;
}

void SetValueOf(TColorValues& v, TValueSlider slider, int value) {
  switch (slider) {
    case vsRed: v.Red = value; break;
    case vsGreen: v.Green = value; break;
    case vsBlue: v.Blue = value; break;
    case vsHue: v.Hue = value; break;
    case vsSaturation: v.Saturation = value; break;
    case vsBrightness: v.Brightness = value; break;
    case vsContrast: v.Contrast = value; break;
    case vsOpacity: v.Opacity = static_cast<std::uint8_t>(value); break;
  }
}

namespace {

void SetLayerValue(TLayer& layer, TValueSlider slider, int value) {
  switch (slider) {
    case vsRed: layer.SetRed(value); break;
    case vsGreen: layer.SetGreen(value); break;
    case vsBlue: layer.SetBlue(value); break;
    case vsHue: layer.SetHue(value); break;
    case vsSaturation: layer.SetSaturation(value); break;
    case vsBrightness: layer.SetBrightness(value); break;
    case vsContrast: layer.SetContrast(value); break;
    case vsOpacity: layer.SetOpacity(static_cast<std::uint8_t>(value)); break;
  }
}

std::string SignedPercent(int delta) { return (delta < 0 ? "-" : "+") + std::to_string(std::abs(delta)) + "%"; }

}  // namespace

std::string SliderHint(std::string_view name, std::string_view term, int value) {
  const std::string text(term);
  if (name == "SliderRedColor" || name == "SliderGreenColor" || name == "SliderBlueColor")
    return text + " (" + SignedPercent((value - 50) * 2) + ")";
  if (name == "SliderHue" || name == "SliderSaturation" || name == "SliderBrightness" || name == "SliderContrast")
    return text + " (" + SignedPercent(value - 100) + ")";
  if (name == "SliderScale") {
    // The scale as a decimal number: 150 -> "1.5", 100 -> "1".
    std::string scale = std::to_string(value / 100);
    if (int hundredths = value % 100; hundredths != 0) {
      std::string digits = std::to_string(hundredths + 100).substr(1);
      if (digits.back() == '0') digits.pop_back();
      scale += "." + digits;
    }
    return text + " 1:" + scale;
  }
  return text + " (" + std::to_string(value) + "%)";
}

TMainState::TMainState(IMainView& view, const TDeskGeometry& geometry, const TTemplateBase& templates,
                       const TContentFolders& content)
    : view_(view), geometry_(geometry), templates_(templates), content_(content) {}

TLayer* TMainState::SelectedLayer() {
  const int index = desk_->SelectedIndex();
  if (index < 0 || index >= desk_->LayerCount()) return nullptr;
  return &desk_->Layer(index);
}

void TMainState::SetChanged(TChangeKind code) {
  if (code != lastChange_) {
    if (lastChange_ == ckScroll && desk_->HasViewBitmap()) desk_->ClearViewBitmap();
    lastChange_ = code;
  }
  if (code != ckDeskScale && code != ckScroll) {
    Saved = {false, false};
  }
}

void TMainState::SetDeskMode(int mode) {
  if (mode == deskMode_ || mode < dmNone || mode >= kDeskModeCount) return;
  if (deskMode_ == dmNone) {
    view_.RefreshPalette();
    view_.ProcessMessages();
  }
  if (deskMode_ == dmModify) desk_->SetWarpFieldAllocated(false);
  if (mode == dmModify) desk_->SetWarpFieldAllocated(true);
  deskMode_ = static_cast<TDeskMode>(mode);
  SetControls();
}

void TMainState::ModeButtonClick(std::string_view name) {
  for (const TModeButton& button : ModeButtons)
    if (button.Name == name) {
      view_.ShowTip(button.TipPage);
      SetDeskMode(button.Mode);
      return;
    }
}

void TMainState::SetControls() {
  TControlsInput input;
  input.LayerCount = desk_->LayerCount();
  input.SelectedIndex = desk_->SelectedIndex();
  if (TLayer* layer = SelectedLayer()) {
    input.SelectedVisible = layer->Visible();
    input.SelectedHistoryCount = static_cast<int>(layer->History().size());
  } else {
    input.SelectedIndex = -1;
  }
  input.Mode = deskMode_;
  input.CopiedState = CopiedLayerState.has_value();
  input.HasPortrait = desk_->HasPortraitLayer();
  view_.FillControlsInput(input);
  view_.ApplyControls(PlanControls(input));
}

void TMainState::ShowLayerValues(const TLayer& layer, const TMask* mask) {
  TColorValues values;
  if (mask == nullptr) {
    values = layer.Values();
  } else {
    const int region = mask->GetRegionIndex();
    if (region <= 0) return;
    values = mask->RegionValues(region);
  }
  // Loading the sliders is no user change: the handlers ignore what it fires.
  loadingSliders_ = true;
  view_.ShowValueSliders(values);
  loadingSliders_ = false;
}

void TMainState::ValueSliderPressed() {
  if (desk_) desk_->SetUndoPending(true);
}

void TMainState::ValueSliderReleased() {
  if (desk_) desk_->SetUndoPending(false);
}

void TMainState::ValueSliderChanged(TValueSlider slider, int value) {
  if (loadingSliders_) return;
  TLayer* layer = SelectedLayer();
  if (!layer) return;
  const int region = layer->Mask.GetRegionIndex();
  if (region > 0) {
    TColorValues values = layer->Mask.RegionValues(region);
    if (ValueOf(values, slider) == value) return;
    layer->SaveUndo(lhkColorValues, true);
    SetValueOf(values, slider, value);
    layer->Mask.SetRegionValues(region, values);
    SetChanged(ckPixels);
    layer->Render(geometry_.ViewFrame());
    layer->InvalidateOnDesk();
  } else if (ValueOf(layer->Values(), slider) != value) {
    layer->SaveUndo(lhkColorValues, true);
    SetLayerValue(*layer, slider, value);
  }
}

void TMainState::PaletteColorPicked(int color) {
  if (deskMode_ == dmPaint) {
    BrushColorRed = color & 0xFF;
    BrushColorGreen = (color >> 8) & 0xFF;
    BrushColorBlue = (color >> 16) & 0xFF;
    SetControls();
    return;
  }
  TLayer* layer = SelectedLayer();
  if (!layer) return;
  const int region = layer->Mask.GetRegionIndex();
  if (region <= 0) {
    if (layer->Color() == color) return;
    layer->SaveUndo(lhkColorValues, false);
    layer->SetColor(color);
    return;
  }
  if (layer->Mask.GetRegionColor(region) == color) return;
  layer->SaveUndo(lhkColorValues, false);
  SetChanged(ckPixels);
  layer->Mask.SetRegionColor(region, color);
  layer->Render(geometry_.ViewFrame());
  layer->InvalidateOnDesk();
}

void TMainState::ToolSliderChanged(TToolSlider slider, int value) {
  // A size slider gives a diameter; the tools use the radius, at least 1.
  const int radius = value / 2 == 0 ? 1 : value / 2;
  switch (slider) {
    case tsModifierSize: ModifierSize = radius; break;
    case tsModifierPower: ModifierPower = value; break;
    case tsBrushSize: BrushSize = radius; break;
    case tsBrushPower: BrushPower = value; break;
    case tsEraserSize: EraserSize = radius; break;
    case tsEraserPower: EraserPower = value; break;
  }
}

void TMainState::MoveSelectedByKey(int key, int shift) {
  TLayer* layer = SelectedLayer();
  if (!layer) return;
  // Consecutive key moves share one history item.
  const auto& history = layer->History();
  desk_->SetUndoPending(history.empty() || history.back()->Kind != lhkMove);
  const int step = (shift & ssShift) ? 10 : 1;
  switch (key) {
    case VK_LEFT: layer->MoveBy(-step, 0); break;
    case VK_UP: layer->MoveBy(0, -step); break;
    case VK_RIGHT: layer->MoveBy(step, 0); break;
    case VK_DOWN: layer->MoveBy(0, step); break;
    default: break;
  }
  desk_->SetUndoPending(false);
}

void TMainState::KeyDown(int& key, int shift) {
  const bool arrow = key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN;
  if (arrow && (shift & ssCtrl)) {
    if (!SelectedLayer()) return;
    MoveSelectedByKey(key, shift);
    key = 0;
    return;
  }
  switch (key) {
    case VK_MENU: desk_->SetDeskCursor(crHandFlatAll); break;
    case VK_SHIFT:
      if (deskMode_ == dmPaint) desk_->SetDeskCursor(crPipette);
      break;
    case VK_LWIN:
    case VK_RWIN: WinKeyDown = true; break;
    case 'M':
      if (WinKeyDown) view_.MinimizeApplication();
      break;
    default: break;
  }
}

void TMainState::KeyUp(int& key, int shift) {
  switch (key) {
    case VK_MENU: desk_->SetDeskCursor(crDefault); break;
    case VK_SHIFT:
      if (deskMode_ == dmPaint) desk_->SetDeskCursor(crBrush);
      break;
    case VK_LWIN:
    case VK_RWIN: WinKeyDown = false; break;
    case VK_DELETE:
      if ((shift & (ssShift | ssCtrl | ssAlt)) == 0 && SelectedLayer()) desk_->DeleteLayer(desk_->SelectedIndex());
      break;
    case 'Z':
      if ((shift & (ssShift | ssCtrl | ssAlt)) == ssCtrl) LayerUndoClick();
      break;
    default: break;
  }
}

void TMainState::LayerMoveTopClick() {
  const int selected = desk_->SelectedIndex();
  if (SelectedLayer() && selected > 0) desk_->MoveLayer(selected, 0);
}

void TMainState::LayerMoveBottomClick() {
  const int selected = desk_->SelectedIndex();
  if (SelectedLayer() && selected < desk_->LayerCount() - 1) desk_->MoveLayer(selected, desk_->LayerCount() - 1);
}

void TMainState::LayerDeleteClick() {
  if (SelectedLayer()) desk_->DeleteLayer(desk_->SelectedIndex());
}

void TMainState::LayerShowHideClick() {
  if (SelectedLayer()) desk_->ToggleLayerVisibility(desk_->SelectedIndex());
}

void TMainState::LayerUndoClick() {
  if (TLayer* layer = SelectedLayer()) layer->Undo();
}

void TMainState::LayerResetClick() {
  if (TLayer* layer = SelectedLayer()) layer->ResetAdjustments();
}

void TMainState::LayerFlipClick() {
  TLayer* layer = SelectedLayer();
  if (!layer) return;
  SetChanged(ckPixels);
  layer->SaveUndo(lhkFlip, false);
  if (layer->EditMode() != emFlip) layer->SetEditMode(emFlip);
  // The mask is mirrored with the picture, so regions stay on what they cover.
  layer->FlipHorizontally();
  layer->Render(geometry_.ViewFrame());
  layer->InvalidateOnDesk();
}

bool TMainState::PortraitEdited(TLayer& portrait, TLayerHistoryKind kind, TBitmap32 picture) {
  if (picture.Width() != portrait.Picture.Width() || picture.Height() != portrait.Picture.Height()) return false;
  SetChanged(ckPixels);
  portrait.SaveUndo(kind, false);
  // The edit becomes the base that later resizes and turns start from.
  portrait.SetEditMode(kind == lhkBaldHead ? emBaldHead : emCalibration);
  portrait.Picture = std::move(picture);
  portrait.Render(geometry_.ViewFrame());
  portrait.InvalidateOnDesk();
  return true;
}

void TMainState::LayerRegionsEdited(TLayer& layer) {
  layer.Mask.GetUsedRegions();
  SetChanged(ckPixels);
  layer.Render(geometry_.ViewFrame());
  layer.InvalidateOnDesk();
}

void TMainState::LayerCopyStateClick() {
  TLayer* layer = SelectedLayer();
  if (!layer) return;
  CopiedLayerState = layer->Values();
  SetControls();
}

void TMainState::LayerPasteStateClick() {
  TLayer* layer = SelectedLayer();
  if (!layer || !CopiedLayerState) return;
  SetChanged(ckPixels);
  layer->SaveUndo(lhkPasteSettings, false);
  const TColorValues& v = *CopiedLayerState;
  layer->SetColor(v.Color);
  for (int s = 0; s < kValueSliderCount; ++s)
    SetLayerValue(*layer, static_cast<TValueSlider>(s), ValueOf(v, static_cast<TValueSlider>(s)));
  layer->Render(geometry_.ViewFrame());
  layer->InvalidateOnDesk();
  if (layer->Mask.GetRegionIndex() == 0) ShowLayerValues(*layer, nullptr);
  SetControls();
}

void TMainState::ClearWorkClick() {
  if (desk_->LayerCount() == 0) return;
  static constexpr struct {
    const char* Letter;
    const char* Key;
    const char* Default;
  } kKinds[] = {{"F", "ConfirmDeleteFaceLayers", "Remove every layer fitted to the face? (The portrait itself stays.)"},
                {"B", "ConfirmDeleteBodyLayers", "Remove every layer fitted to the figure? (The figure itself stays.)"},
                {"N", "ConfirmDeleteHandLayers", "Remove every layer fitted to the hand? (The hand itself stays.)"}};
  for (const auto& kind : kKinds) {
    bool present = false;
    for (int i = 0; i < desk_->LayerCount() && !present; ++i)
      present = EqualsNoCase(LayerKindLetter(*this, desk_->Layer(i)), kind.Letter);
    if (present && AskYesNo(GetTerm(kind.Key, ProgramTexts(), kind.Default)) == 6)
      desk_->DeleteLayersByKind(kind.Letter, -1, true);
  }
  SetControls();
}
