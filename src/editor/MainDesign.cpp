#include "editor/MainDesign.h"

#include <algorithm>
#include <array>

namespace {

using K = TDesignKind;
constexpr std::string_view kModes = "ImageLayerModeButtons";
constexpr std::string_view kTools = "ImageLayerToolsButtons";
constexpr std::string_view kSliders = "ImageSlidersLayer";
constexpr std::string_view kDesk = "ImageDesktopToolsButtons";
constexpr std::string_view kSystem = "ImageSystemButtons";
constexpr std::string_view kOpeners = "ImageMainFormButtons";
constexpr std::string_view kLayerPanel = "PanelLayerTools";
constexpr std::string_view kDeskPanel = "PanelDesktopTools";

// Layer-panel rows: the mode pictures on top, then the controls of one mode.
constexpr int kRow0 = 64;
constexpr int kSliderStep = 40;
constexpr int kSliderWidth = 346;
constexpr int kSliderHeight = 20;
constexpr int Row(int i) { return kRow0 + i * kSliderStep; }
constexpr int kCellWidth = 108;
constexpr int kCellHeight = 40;
constexpr int Col(int c) { return 12 + c * (kCellWidth + 11); }
constexpr int Line(int r) { return kRow0 + r * (kCellHeight + 6); }
// The tool column at the window's left edge.
constexpr int kToolX = 16;
constexpr int kToolWidth = 66;
constexpr int Mode(int i) { return 52 + i * 54; }
constexpr int kLinkWidth = 96;
constexpr int Link(int i) { return 564 + i * (kLinkWidth + 4); }
constexpr int kShelfWidth = 72;
constexpr int Shelf(int i) { return 326 + i * (kShelfWidth + 6); }

// The palette below the sliders: page buttons around the name, the slots
// (placed by PaletteSlotPlaces) and the colour slider with its two buttons.
constexpr int kPaletteTop = 262;
constexpr int kPaletteSlotsTop = kPaletteTop + 34;
constexpr int kPaletteScrollX = 328;

constexpr std::array kDesign = {
    TControlDesign{"LabelActiveLayerName", K::Label, "", 584, 50, 370, 22, "", ""},
    // Help, minimise and close, at the right end of the title strip.
    TControlDesign{"ButtonHelp", K::Button, "", 900, 5, 20, 19, kSystem, "?"},
    TControlDesign{"ButtonMinimize", K::Button, "", 924, 5, 20, 19, kSystem, "_"},
    TControlDesign{"ButtonExit", K::Button, "", 948, 5, 20, 19, kSystem, "x"},
    TControlDesign{"ButtonSetup", K::Button, "", 832, 5, 64, 19, kSystem, "Settings"},
    // The online window and the publisher's messages, beside the settings.
    TControlDesign{"ButtonInternet", K::Button, "", 688, 5, 64, 19, kSystem, "Online"},
    TControlDesign{"ButtonMessages", K::Button, "", 760, 5, 64, 19, kSystem, "Messages"},
    // The tool modes.
    TControlDesign{"ButtonColoration", K::Button, "", kToolX, Mode(0), kToolWidth, 46, kModes, "Colour"},
    TControlDesign{"ButtonAppearance", K::Button, "", kToolX, Mode(1), kToolWidth, 46, kModes, "Looks"},
    TControlDesign{"ButtonModifier", K::Button, "", kToolX, Mode(2), kToolWidth, 46, kModes, "Warp"},
    TControlDesign{"ButtonBrush", K::Button, "", kToolX, Mode(3), kToolWidth, 46, kModes, "Brush"},
    TControlDesign{"ButtonEraser", K::Button, "", kToolX, Mode(4), kToolWidth, 46, kModes, "Eraser"},
    TControlDesign{"ButtonActions", K::Button, "", kToolX, Mode(5), kToolWidth, 46, kModes, "Layer"},
    // Buttons outside the panels.
    TControlDesign{"ButtonLayerList", K::Button, "", kToolX, 400, kToolWidth, 30, kTools, "Layers"},
    TControlDesign{"ButtonClearWork", K::Button, "", kToolX, 436, kToolWidth, 30, kTools, "Clear"},
    TControlDesign{"ButtonColorCalibration", K::Button, "", kToolX, 472, kToolWidth, 30, kTools, "Calibrate"},
    TControlDesign{"ButtonLayerUndo", K::Button, "", kToolX, 508, kToolWidth, 30, kTools, "Undo"},
    // The buttons that open the other windows.
    TControlDesign{"ButtonLoadSave", K::Button, "", kToolX, 556, kToolWidth, 30, kOpeners, "Files"},
    TControlDesign{"ButtonPrint", K::Button, "", kToolX, 592, kToolWidth, 30, kOpeners, "Print"},
    TControlDesign{"ButtonPreview", K::Button, "", kToolX, 628, kToolWidth, 30, kOpeners, "Portrait"},
    TControlDesign{"ButtonExitMain", K::Button, "", kToolX, 660, kToolWidth, 20, kOpeners, "Quit"},
    // The status strip: the product's name, and the publisher's links (shown only
    // when the settings give them an address).
    TControlDesign{"LabelProductName", K::Label, "", 20, 690, 300, 18, "", ""},
    // Between them, the buttons of the shopping and reference windows.
    TControlDesign{"ButtonCatalog", K::Button, "", Shelf(0), 689, kShelfWidth, 20, kOpeners, "Catalogue"},
    TControlDesign{"ButtonQueries", K::Button, "", Shelf(1), 689, kShelfWidth, 20, kOpeners, "Questions"},
    TControlDesign{"ButtonShopping", K::Button, "", Shelf(2), 689, kShelfWidth, 20, kOpeners, "Shops"},
    TControlDesign{"ButtonLogoVYN", K::Button, "", Link(0), 689, kLinkWidth, 20, kOpeners, "Publisher"},
    TControlDesign{"ButtonSubscribe", K::Button, "", Link(1), 689, kLinkWidth, 20, kOpeners, "Subscribe"},
    TControlDesign{"ButtonMoreGames", K::Button, "", Link(2), 689, kLinkWidth, 20, kOpeners, "More"},
    TControlDesign{"ButtonTellaFriend", K::Button, "", Link(3), 689, kLinkWidth, 20, kOpeners, "Tell a friend"},
    // The scroll sliders beside the desk.
    TControlDesign{"SliderHPos", K::Slider, "", 97, 572, 445, 14, kSliders, ""},
    TControlDesign{"SliderVPos", K::Slider, "", 562, 62, 14, 492, kSliders, ""},
    // The layer tools.
    TControlDesign{"PanelLayerTools", K::Panel, "", 584, 80, 370, 420, "", ""},
    TControlDesign{"ImageSkinColoration", K::Image, kLayerPanel, 0, 0, 370, 48, "", ""},
    TControlDesign{"ImageSkinAppearance", K::Image, kLayerPanel, 0, 0, 370, 48, "", ""},
    TControlDesign{"ImageSkinModifier", K::Image, kLayerPanel, 0, 0, 370, 48, "", ""},
    TControlDesign{"ImageSkinBrush", K::Image, kLayerPanel, 0, 0, 370, 48, "", ""},
    TControlDesign{"ImageSkinEraser", K::Image, kLayerPanel, 0, 0, 370, 48, "", ""},
    TControlDesign{"ImageSkinActions", K::Image, kLayerPanel, 0, 0, 370, 48, "", ""},
    TControlDesign{"SliderRedColor", K::Slider, kLayerPanel, 12, Row(0), kSliderWidth, kSliderHeight, kSliders, ""},
    TControlDesign{"SliderGreenColor", K::Slider, kLayerPanel, 12, Row(1), kSliderWidth, kSliderHeight, kSliders, ""},
    TControlDesign{"SliderBlueColor", K::Slider, kLayerPanel, 12, Row(2), kSliderWidth, kSliderHeight, kSliders, ""},
    TControlDesign{"SliderHue", K::Slider, kLayerPanel, 12, Row(3), kSliderWidth, kSliderHeight, kSliders, ""},
    TControlDesign{"SliderSaturation", K::Slider, kLayerPanel, 12, Row(4), kSliderWidth, kSliderHeight, kSliders, ""},
    TControlDesign{"SliderBrightness", K::Slider, kLayerPanel, 12, Row(0), kSliderWidth, kSliderHeight, kSliders, ""},
    TControlDesign{"SliderContrast", K::Slider, kLayerPanel, 12, Row(1), kSliderWidth, kSliderHeight, kSliders, ""},
    TControlDesign{"SliderOpacity", K::Slider, kLayerPanel, 12, Row(2), kSliderWidth, kSliderHeight, kSliders, ""},
    TControlDesign{"SliderModifierPower", K::Slider, kLayerPanel, 12, Row(0), kSliderWidth, kSliderHeight, kSliders, ""},
    TControlDesign{"SliderModifierSize", K::Slider, kLayerPanel, 12, Row(1), kSliderWidth, kSliderHeight, kSliders, ""},
    TControlDesign{"SliderBrushPower", K::Slider, kLayerPanel, 12, Row(0), kSliderWidth, kSliderHeight, kSliders, ""},
    TControlDesign{"SliderBrushSize", K::Slider, kLayerPanel, 12, Row(1), kSliderWidth, kSliderHeight, kSliders, ""},
    TControlDesign{"ButtonCurrentBrushColor", K::Button, kLayerPanel, 12, Row(2), 108, 30, "", ""},
    TControlDesign{"ImagePalette", K::Image, kLayerPanel, 12, kPaletteTop, 346, 148, "", ""},
    TControlDesign{"ButtonPalettePrev", K::Button, kLayerPanel, 18, kPaletteTop + 4, 28, 24, kTools, "<"},
    TControlDesign{"LabelPaletteName", K::Label, kLayerPanel, 50, kPaletteTop + 6, 270, 20, "", ""},
    TControlDesign{"ButtonPaletteNext", K::Button, kLayerPanel, 324, kPaletteTop + 4, 28, 24, kTools, ">"},
    TControlDesign{"ButtonPaletteColorPrev", K::Button, kLayerPanel, kPaletteScrollX, kPaletteSlotsTop, 24, 18, kTools, "^"},
    TControlDesign{"SliderPaletteColor", K::Slider, kLayerPanel, kPaletteScrollX + 5, kPaletteSlotsTop + 22, 14, 56, kSliders, ""},
    TControlDesign{"ButtonPaletteColorNext", K::Button, kLayerPanel, kPaletteScrollX, kPaletteSlotsTop + 82, 24, 18, kTools, "v"},
    TControlDesign{"SliderEraserPower", K::Slider, kLayerPanel, 12, Row(0), kSliderWidth, kSliderHeight, kSliders, ""},
    TControlDesign{"SliderEraserSize", K::Slider, kLayerPanel, 12, Row(1), kSliderWidth, kSliderHeight, kSliders, ""},
    TControlDesign{"ButtonLayerMoveTop", K::Button, kLayerPanel, Col(0), Line(0), kCellWidth, kCellHeight, kTools, "To top"},
    TControlDesign{"ButtonLayerMoveBottom", K::Button, kLayerPanel, Col(1), Line(0), kCellWidth, kCellHeight, kTools, "To back"},
    TControlDesign{"ButtonLayerDelete", K::Button, kLayerPanel, Col(2), Line(0), kCellWidth, kCellHeight, kTools, "Delete"},
    TControlDesign{"ButtonLayerShow", K::Button, kLayerPanel, Col(0), Line(1), kCellWidth, kCellHeight, kTools, "Show"},
    TControlDesign{"ButtonLayerHide", K::Button, kLayerPanel, Col(0), Line(1), kCellWidth, kCellHeight, kTools, "Hide"},
    TControlDesign{"ButtonLayerRegions", K::Button, kLayerPanel, Col(1), Line(1), kCellWidth, kCellHeight, kTools, "Regions"},
    TControlDesign{"ButtonLayerCopyState", K::Button, kLayerPanel, Col(2), Line(1), kCellWidth, kCellHeight, kTools, "Copy"},
    TControlDesign{"ButtonLayerPasteState", K::Button, kLayerPanel, Col(0), Line(2), kCellWidth, kCellHeight, kTools, "Paste"},
    TControlDesign{"ButtonLayerReset", K::Button, kLayerPanel, Col(1), Line(2), kCellWidth, kCellHeight, kTools, "Reset"},
    TControlDesign{"ButtonLayerSave", K::Button, kLayerPanel, Col(2), Line(2), kCellWidth, kCellHeight, kTools, "Save"},
    TControlDesign{"ButtonLayerFlipHorizontal", K::Button, kLayerPanel, Col(0), Line(3), kCellWidth, kCellHeight, kTools, "Flip"},
    TControlDesign{"ButtonBaldHead", K::Button, kLayerPanel, Col(1), Line(3), kCellWidth, kCellHeight, kTools, "Bald"},
    // Zoom.
    TControlDesign{"PanelDesktopTools", K::Panel, "", 584, 510, 370, 84, "", ""},
    TControlDesign{"SliderScale", K::Slider, kDeskPanel, 12, 10, kSliderWidth, kSliderHeight, kSliders, ""},
    TControlDesign{"ButtonOriginalSize", K::Button, kDeskPanel, 12, 42, 170, 30, kDesk, "1:1"},
    TControlDesign{"ButtonCentering", K::Button, kDeskPanel, 188, 42, 170, 30, kDesk, "Centre"},
};

constexpr std::array kPictures = {
    TSkinPicture{"PanelLayer", "PanLayer.psd", "PanelLayerTools"},
    TSkinPicture{"PanelDesktop", "PanDesk.psd", "PanelDesktopTools"},
    TSkinPicture{"SkinColoration", "SkinCol.psd", "ImageSkinColoration"},
    TSkinPicture{"SkinAppearance", "SkinAprn.psd", "ImageSkinAppearance"},
    TSkinPicture{"SkinBrush", "SkinBrus.psd", "ImageSkinBrush"},
    TSkinPicture{"SkinModifier", "SkinMod.psd", "ImageSkinModifier"},
    TSkinPicture{"SkinEraser", "SkinEras.psd", "ImageSkinEraser"},
    TSkinPicture{"SkinActions", "SkinAct.psd", "ImageSkinActions"},
    TSkinPicture{"SystemButtons", "ButSys.psd", "ImageSystemButtons"},
    TSkinPicture{"MainFormButtons", "ButMain.psd", "ImageMainFormButtons"},
    TSkinPicture{"LayerModeButtons", "ButLMode.psd", "ImageLayerModeButtons"},
    TSkinPicture{"LayerToolsButtons", "ButLayer.psd", "ImageLayerToolsButtons"},
    TSkinPicture{"SlidersLayer", "Sliders.psd", "ImageSlidersLayer"},
    TSkinPicture{"DesktopToolsButtons", "ButDesk.psd", "ImageDesktopToolsButtons"},
    TSkinPicture{"Palette", "Palette.psd", "ImagePalette"},
};

}  // namespace

std::span<const TControlDesign> MainWindowDesign() { return kDesign; }

const TControlDesign* FindMainDesign(std::string_view name) {
  for (const TControlDesign& d : kDesign)
    if (d.Name == name) return &d;
  return nullptr;
}

std::vector<TSheetPlace> SheetLayout(std::string_view sheet) {
  std::vector<TSheetPlace> rows;
  int top = 0;
  for (const TControlDesign& d : kDesign) {
    if (d.Sheet != sheet) continue;
    rows.push_back({&d, top});
    top += d.Height;
  }
  return rows;
}

TRect SheetBounds(std::string_view sheet) {
  int width = 0, height = 0;
  for (const TSheetPlace& row : SheetLayout(sheet)) {
    const TControlDesign& d = *row.Control;
    // A slider row: two track frames, then two thumb frames.
    const int rowWidth = d.Kind == TDesignKind::Slider ? kSliderFrames * d.Width + 2 * ThumbSize(d).X
                                                       : kButtonFrames * d.Width;
    width = std::max(width, rowWidth);
    height = row.Top + d.Height;
  }
  return {0, 0, width, height};
}

TPoint ThumbSize(const TControlDesign& slider) {
  return slider.Width >= slider.Height ? TPoint{kThumbSide, slider.Height} : TPoint{slider.Width, kThumbSide};
}

std::span<const TSkinPicture> MainSkinPictures() { return kPictures; }

std::string_view SkinPanel(const TSkinPicture& picture) {
  if (const TControlDesign* d = FindMainDesign(picture.Image))
    return d->Kind == TDesignKind::Panel ? d->Name : d->Parent;
  std::string_view panel;
  for (const TControlDesign& d : kDesign) {
    if (d.Sheet != picture.Image) continue;
    if (d.Parent.empty() || (!panel.empty() && d.Parent != panel)) return {};
    panel = d.Parent;
  }
  return panel;
}

TPaletteSlotDesign PaletteSlotDesign() {
  // Three columns of two rows between the name and the colour slider.
  return {2, 3, "24,296; 124,296; 224,296; 24,348; 124,348; 224,348", 96, 46};
}
