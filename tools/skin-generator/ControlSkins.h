#pragma once
// The default button sheets of the skin controls: frames (normal, hover, pressed)
// with real alpha, in the house colours of the window skins. Sheets are named
// "...Btn.psd" and lie beside the window skins.
#include <filesystem>
#include <string>
#include <vector>

#include "picture/Bitmap32.h"
#include "platform/Geometry.h"

enum class TButtonGlyph { Check, Cross, Close, Minimize, Blank };

// Rows of the message box's button sheet: one row of three frames per button.
struct TMessageSheetLayout {
  static constexpr int ButtonWidth = 48;
  static constexpr int ButtonHeight = 24;
  static constexpr int ExitWidth = 19;
  static constexpr int ExitHeight = 20;
  static constexpr int YesTop = 0;
  static constexpr int NoTop = ButtonHeight;
  static constexpr int ExitTop = 2 * ButtonHeight;
  static constexpr int SheetWidth = 3 * ButtonWidth;
  static constexpr int SheetHeight = ExitTop + ExitHeight;
};

// Draws the three frames (normal, hover, pressed) of one button, side by side from
// the top-left corner of `row`, each `frameWidth` x row.Height() pixels.
void DrawButtonFrames(TBitmap32& sheet, const TRect& row, int frameWidth, TButtonGlyph glyph);

// The message box's button sheet: yes (check), no (cross), exit (close) rows.
TBitmap32 MessageButtonSheet();

// The load-and-save window's sheet: the one row of three 120 x 30 frames every
// button of the window shares (the buttons carry their captions).
TBitmap32 LoadSaveButtonSheet();
// The adjust window's sheet: rows of 72 x 28 frames for face, hand, body, figure,
// OK and cancel, top to bottom (the buttons carry their captions).
TBitmap32 AdjustButtonSheet();
// The camera window's sheet: rows of 72 x 28 frames for the camera, size,
// preview and snapshot buttons (the buttons carry their captions).
TBitmap32 CameraButtonSheet();
// Rows of three frames (normal, hover, pressed) each `width` x `height`, one per glyph.
TBitmap32 RowsButtonSheet(int width, int height, const std::vector<TButtonGlyph>& rows);

struct TSheetFile {
  std::string Name;  // file name in each resolution folder of the default interface
  TBitmap32 Picture;
};
// The print window's sheet (exchange/PrintSheet.h), with the layout, folder,
// printer, print and cancel glyphs.
TBitmap32 PrintButtonSheet();

// The bald-head and colour-calibration windows' sheet (editor/PortraitToolDesign.h):
// plain buttons, exit, slider thumb and the sliders' tracks.
TBitmap32 PortraitToolButtonSheet();

// The settings window's sheet (editor/SetupDesign.h): plain buttons and exit.
TBitmap32 SetupButtonSheet();

// Every default button sheet, with its file name.
std::vector<TSheetFile> DefaultButtonSheets();
