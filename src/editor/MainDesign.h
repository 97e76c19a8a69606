#pragma once
// The main window's designed layout: every control with its kind, container,
// place and size, and which button sheet it draws its frames from. The window
// builds itself from this table; the content generator draws the default sheets
// from the same table, so each frame has the size of its control.
#include <span>
#include <string_view>
#include <vector>

#include "platform/Geometry.h"

enum class TDesignKind {
  Panel,   // a container showing its skin picture
  Button,  // a picture button: frames normal, pressed, hover, disabled
  Slider,  // a picture slider: track frames enabled, disabled, and a thumb
  Image,   // a picture control
  Label,
};

struct TControlDesign {
  std::string_view Name;
  TDesignKind Kind;
  std::string_view Parent;  // empty: the window itself
  int Left, Top, Width, Height;
  std::string_view Sheet;    // the image holding its frames (empty: none)
  std::string_view Caption;  // drawn on the default frames
};

// The size of the default skin; a skin of another size sizes the window.
constexpr int kMainWidth = 980;
constexpr int kMainHeight = 720;
// Frames of one button in its sheet row, and of one slider track.
constexpr int kButtonFrames = 4;
constexpr int kSliderFrames = 2;
// The thumb frames (normal, pressed) of every slider sit after its track frames.
constexpr int kThumbSide = 14;

std::span<const TControlDesign> MainWindowDesign();
const TControlDesign* FindMainDesign(std::string_view name);

// A control's frames in its sheet: the sheet rows are the controls of that sheet
// in table order, each row as high as its control.
struct TSheetPlace {
  const TControlDesign* Control;
  int Top;  // of its row in the sheet
};
std::vector<TSheetPlace> SheetLayout(std::string_view sheet);
// A slider's thumb: kThumbSide along the track, the track's thickness across.
TPoint ThumbSize(const TControlDesign& slider);
// The size of a sheet that holds all its rows.
TRect SheetBounds(std::string_view sheet);

// The main window's pictures: interface-info key, default file, target image.
struct TSkinPicture {
  std::string_view Key;
  std::string_view DefaultFile;
  std::string_view Image;
};
std::span<const TSkinPicture> MainSkinPictures();
// The panel that alone draws the picture (the panel itself, a picture on it, or a
// sheet only its controls use); empty when the window draws it elsewhere too.
std::string_view SkinPanel(const TSkinPicture& picture);

// The palette slots on the layer panel: rows, columns and the slot places
// ("x,y; x,y; ..." row by row) the interface may replace
// ("FormMain.PaletteBtnRows", "...Cols", "...ShowPos"), and the slot size.
struct TPaletteSlotDesign {
  int Rows, Cols;
  std::string_view ShowPos;
  int Width, Height;
};
TPaletteSlotDesign PaletteSlotDesign();
