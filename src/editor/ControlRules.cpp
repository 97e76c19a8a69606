#include "editor/ControlRules.h"

const std::array<TModeButton, 6> ModeButtons = {{
    {"ButtonColoration", dmColoration, "PanelLayerColorationMode"},
    {"ButtonAppearance", dmAppearance, "PanelLayerAppearanceMode"},
    {"ButtonModifier", dmModify, "PanelLayerModifyMode"},
    {"ButtonBrush", dmPaint, "PanelLayerPaintMode"},
    {"ButtonEraser", dmErase, "PanelLayerEraseMode"},
    {"ButtonActions", dmActions, "PanelLayerActionsMode"},
}};

const TControlDecision* TControlsPlan::Find(std::string_view name) const {
  for (const TControlDecision& d : Panel)
    if (d.Name == name) return &d;
  return nullptr;
}

namespace {

struct TModeSlider {
  std::string_view Name;
  TDeskMode Mode;
};

constexpr TModeSlider kModeSliders[] = {
    {"SliderRedColor", dmColoration},     {"SliderGreenColor", dmColoration}, {"SliderBlueColor", dmColoration},
    {"SliderHue", dmColoration},          {"SliderSaturation", dmColoration}, {"SliderBrightness", dmAppearance},
    {"SliderContrast", dmAppearance},     {"SliderOpacity", dmAppearance},    {"SliderBrushPower", dmPaint},
    {"SliderBrushSize", dmPaint},         {"SliderEraserPower", dmErase},     {"SliderEraserSize", dmErase},
    {"SliderModifierPower", dmModify},    {"SliderModifierSize", dmModify},
};

constexpr TModeSlider kModeSkins[] = {
    {"ImageSkinColoration", dmColoration}, {"ImageSkinAppearance", dmAppearance}, {"ImageSkinBrush", dmPaint},
    {"ImageSkinEraser", dmErase},          {"ImageSkinModifier", dmModify},       {"ImageSkinActions", dmActions},
};

void AddActionButtons(const TControlsInput& in, std::vector<TControlDecision>& panel) {
  const bool actions = in.Mode == dmActions;
  const bool selected = in.SelectedIndex >= 0;
  auto button = [&](std::string_view name, bool wanted, bool enabled) {
    panel.push_back({name, TControlKind::Button, actions && wanted, enabled});
  };
  const TLayerButtonRules rules = LayerButtonRules(in.LayerCount, in.SelectedIndex, in.SelectedVisible);
  button("ButtonLayerMoveTop", true, rules.MoveTopEnabled);
  button("ButtonLayerMoveBottom", true, rules.MoveBottomEnabled);
  button("ButtonLayerHide", rules.HideShown, rules.HideShowEnabled);
  button("ButtonLayerShow", rules.ShowShown, rules.HideShowEnabled);
  for (std::string_view name : {"ButtonLayerDelete", "ButtonLayerRegions", "ButtonLayerCopyState",
                                "ButtonLayerReset", "ButtonLayerSave"})
    button(name, true, selected);
  button("ButtonLayerPasteState", true, selected && in.CopiedState);
  button("ButtonLayerFlipHorizontal", in.FlipTag == 1, selected);
  button("ButtonBaldHead", true, in.HasPortrait);
}

}  // namespace

TLayerButtonRules LayerButtonRules(int count, int selected, bool selectedVisible) {
  TLayerButtonRules rules;
  const bool any = selected >= 0 && selected < count;
  rules.MoveTopEnabled = any && selected > 0;
  rules.MoveBottomEnabled = any && selected < count - 1;
  rules.DeleteEnabled = rules.HideShowEnabled = any;
  rules.HideShown = any && selectedVisible;
  rules.ShowShown = !rules.HideShown;
  return rules;
}

TControlsPlan PlanControls(const TControlsInput& in) {
  TControlsPlan plan;
  plan.HasLayers = in.LayerCount > 0;
  plan.DeskVisible = plan.HasLayers;
  plan.LayerToolsVisible = plan.HasLayers && in.LayerToolsTag > 0;
  plan.DesktopToolsVisible = plan.HasLayers && in.DesktopToolsTag > 0;
  if (!plan.HasLayers) return plan;

  for (std::size_t i = 0; i < ModeButtons.size(); ++i) plan.ModePressed[i] = ModeButtons[i].Mode == in.Mode;
  const bool selected = in.SelectedIndex >= 0;
  const bool paletteMode = in.Mode == dmColoration || in.Mode == dmAppearance || in.Mode == dmPaint;
  plan.PaletteActive = selected && paletteMode;

  std::vector<TControlDecision>& panel = plan.Panel;
  panel.push_back({"ImagePalette", TControlKind::Other, paletteMode});
  for (std::string_view name : {"LabelPaletteName", "ButtonPalettePrev", "ButtonPaletteNext"})
    panel.push_back({name, name.starts_with("Button") ? TControlKind::Button : TControlKind::Other,
                     plan.PaletteActive});
  const bool paletteScroll = plan.PaletteActive && in.PaletteSliderTag > 0;
  panel.push_back({"SliderPaletteColor", TControlKind::Slider, paletteScroll});
  panel.push_back({"ButtonPaletteColorPrev", TControlKind::Button, paletteScroll});
  panel.push_back({"ButtonPaletteColorNext", TControlKind::Button, paletteScroll});
  for (const TModeSlider& s : kModeSliders)
    panel.push_back({s.Name, TControlKind::Slider, in.Mode == s.Mode, selected});
  panel.push_back({"ButtonCurrentBrushColor", TControlKind::Button, in.Mode == dmPaint});
  for (const TModeSlider& s : kModeSkins)
    panel.push_back({s.Name, TControlKind::Other, in.Mode == s.Mode && in.ModeSkinPresent[s.Mode]});
  AddActionButtons(in, panel);

  plan.UndoEnabled = selected && in.SelectedHistoryCount > 0;
  plan.BrushColorShown = selected;
  return plan;
}
