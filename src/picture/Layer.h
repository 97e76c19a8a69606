#pragma once
// One picture on the montage desk: a 32-bit picture with alpha, its region mask,
// its place on the canvas, stacking key, rotation, colour settings and an undo
// history. The layer renders itself (scaled and recoloured) into a view bitmap
// for the desk window or an output bitmap for the export picture; the desk owns
// the layers and composites them. Everything the layer tells the main window or
// the desk goes through its ILayerHost.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "picture/AlphaSpans.h"
#include "picture/Bitmap32.h"
#include "picture/ColorValues.h"
#include "picture/LayerHost.h"
#include "picture/LayerStorage.h"
#include "picture/Mask.h"
#include "platform/FileResult.h"
#include "platform/Geometry.h"

// A layer's stored settings: one "LAYER=" line of a work file, and the main
// window's copy-state buffer. Width and Height are informative only.
struct TLayerRecord {
  std::string Id;
  std::string Caption;
  int TypeId = -1;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool Visible = true;
  TColorValues Values;
  int Level = 0;
  std::string SourceFile;
};

enum TLayerHistoryKind : std::uint8_t {
  lhkColorValues = 0,
  lhkMove = 1,
  lhkResize = 2,
  lhkRotate = 3,
  lhkColorBrush = 4,
  lhkEraser = 5,
  lhkWarp = 6,
  lhkPasteSettings = 7,
  lhkCalibration = 8,
  lhkResetLayer = 9,
  lhkResetRegion = 10,
  lhkBaldHead = 11,
  lhkFlip = 12,
};

// Edit modes: the kind of the current edit series.
enum TEditMode : std::uint8_t {
  emUndone = 0,
  emCreated = 1,
  emResize = 2,
  emWarp = 3,
  emColorBrush = 4,
  emEraser = 5,
  emRotate = 6,
  emCalibration = 7,
  emBaldHead = 8,
  emFlip = 9,
};

// One undo step. A tool fills Rect and Bitmap with the area it touches.
struct TLayerHistoryItem {
  TLayerHistoryKind Kind = lhkColorValues;
  int RegionIndex = 0;    // the mask's current region when pushed, 0 = none
  TColorValues Values;    // the region's or the layer's, by kind
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int Angle = 0;
  TPoint RotationCenter;
  TEditMode EditMode = emUndone;
  TRect Rect{-1, -1, -1, -1};
  std::optional<TBitmap32> Bitmap;
};

// How much of the layer a rendering holds.
enum TRenderState : std::uint8_t {
  rsNothing = 0,
  rsPart = 1,   // the part inside the target's view
  rsWhole = 2,  // the whole layer: scrolling only moves it
};

// One rendering of the layer: the bitmap, its top-left in the target and the
// rectangle of the picture it shows.
struct TLayerRendering {
  TBitmap32 Bitmap;
  TPoint Pos{-1, -1};
  TRenderState State = rsNothing;
  TRect SourceRect;
  std::vector<TAlphaSpan> Spans;  // Bitmap's rows

  void Clear() {
    Bitmap.Reset();
    Spans.clear();
    Pos = {-1, -1};
    State = rsNothing;
  }
};

// What a new layer of a picture in memory is given besides the picture.
struct TNewLayer {
  std::string Caption;
  // Whether the picture's own alpha counts; otherwise the layer is made opaque.
  bool KeepAlpha = true;
};

class TLayer {
 public:
  static constexpr std::size_t kMaxHistory = 30;

  // A layer of a picture in memory (Create); its type is none (-1).
  TLayer(ILayerHost& host, const TBitmap32& source, const TNewLayer& given = {});
  // A layer of an element file (".psd", ".fll", ".fcc" with the ".msk" beside it,
  // any other picture through the imaging library), of no type and caption until
  // its creator gives them. Its SourceFile is the file name with each of
  // `contentFolders` taken out of it. A file that cannot be read gives the
  // picture loader's error; running out of memory is CannotRead (ENOMEM).
  static TFileResult<std::unique_ptr<TLayer>> CreateFromFile(ILayerHost& host, const std::string& fileName,
                                                             const std::vector<std::string>& contentFolders);
  // A layer of a work being loaded: the streams "<id>.bmp" and "<id>.msk" of
  // `storage`, with the settings of `record` (whose id is kept unless the desk
  // has it already). A missing or bad picture stream is Damaged, with the stream
  // as its path.
  static TFileResult<std::unique_ptr<TLayer>> CreateFromStorage(ILayerHost& host, ILayerStorage& storage,
                                                                const TLayerRecord& record);
  TLayer(const TLayer&) = delete;
  TLayer& operator=(const TLayer&) = delete;

  // Renders the view rendering for the desk's `frame`, which the layer keeps for
  // the renderings its own edits need until it is told another.
  void Render(const TViewFrame& frame);
  // Renders the output rendering for the export picture's frame (scale 1).
  void RenderExport(const TViewFrame& frame);
  // The desk's view changed while the layer is not rendered for it.
  void SetDeskFrame(const TViewFrame& frame) { deskFrame_ = frame; }
  // The whole picture at scale 1 with the layer's and its regions' colours,
  // whatever part of it the desk shows (what a template is saved from).
  TBitmap32 RenderedPicture() const;
  const TLayerRendering& ViewRendering() const { return view_; }
  const TLayerRendering& OutputRendering() const { return output_; }
  // The output rendering is only needed while the export picture is composed.
  void ReleaseOutput() { output_.Clear(); }
  // The desk's view moved to `frame`: a whole rendering moves with it (true); any
  // other is rendered again (false).
  bool ScrollView(const TViewFrame& frame);

  // Pushes an undo step (nullptr in only-if-pending mode when no gesture is
  // pending). The returned item stays owned by the history.
  TLayerHistoryItem* SaveUndo(TLayerHistoryKind kind, bool onlyIfPending);
  void Undo();
  void DeleteHistoryItem(const TLayerHistoryItem* item);
  const std::vector<std::unique_ptr<TLayerHistoryItem>>& History() const { return history_; }

  void MoveBy(int dx, int dy);
  void ResetAdjustments();
  void SetAngle(int angle);
  void SetEditMode(TEditMode mode);
  // The kind the desk sorts by, "F", "B" or "N" (face, body, hand), given the
  // letter of this layer's template type (nullopt when no type has its TypeId);
  // "???" without a type.
  std::string GetKindLetter(const std::optional<std::string>& typeLetter) const;
  // Rebinds the mask to Picture after it was rebuilt from BasePicture: the map is
  // the base map resampled to Picture's size.
  void RebindMask();
  // Mirrors Picture left to right and the mask with it.
  void FlipHorizontally();
  // Its look changed: reports it, and repaints the layer's view rectangle on the
  // desk (when rendered).
  void InvalidateOnDesk();
  // Its look changed (its colours, or a tool painted it): reports it.
  void LookChanged();
  // The mask's change event: label and sliders follow the current region.
  void MaskChanged();
  // The main window's layer label and sliders show this layer: its caption and
  // values, or with a current region, that region's number and values.
  void ShowAsSelected();

  int Width() const { return Picture.Empty() ? -1 : Picture.Width(); }
  int Height() const { return Picture.Empty() ? -1 : Picture.Height(); }
  void SetWidth(int width);
  void SetHeight(int height);
  TRect ViewRect() const;
  // The layer's rectangle on the canvas.
  TRect CanvasRect() const { return Bounds(Left, Top, Width(), Height()); }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  const TColorValues& Values() const { return values_; }
  int Color() const { return values_.Color; }
  int Red() const { return values_.Red; }
  int Green() const { return values_.Green; }
  int Blue() const { return values_.Blue; }
  int Hue() const { return values_.Hue; }
  int Saturation() const { return values_.Saturation; }
  int Brightness() const { return values_.Brightness; }
  int Contrast() const { return values_.Contrast; }
  std::uint8_t Opacity() const { return values_.Opacity; }
  void SetColor(int v) { SetColourValue(&TColorValues::Color, v); }
  void SetRed(int v) { SetColourValue(&TColorValues::Red, v); }
  void SetGreen(int v) { SetColourValue(&TColorValues::Green, v); }
  void SetBlue(int v) { SetColourValue(&TColorValues::Blue, v); }
  void SetHue(int v) { SetColourValue(&TColorValues::Hue, v); }
  void SetSaturation(int v) { SetColourValue(&TColorValues::Saturation, v); }
  void SetBrightness(int v) { SetColourValue(&TColorValues::Brightness, v); }
  void SetContrast(int v) { SetColourValue(&TColorValues::Contrast, v); }
  void SetOpacity(std::uint8_t v);
  int Level() const { return level_; }
  void SetLevel(int level) { level_ = level; }
  int Angle() const { return angle_; }
  TEditMode EditMode() const { return editMode_; }
  // The base picture's region map (the map the mask is derived from).
  const TMaskA& BaseMask() const { return baseMask_; }

  TBitmap32 Picture;
  TBitmap32 BasePicture;
  TPoint RotationCenter{-1, -1};
  TMask Mask;
  int Left = 0;
  int Top = 0;
  std::string Id;
  std::string Caption;
  std::string SourceFile;
  int TypeId = -1;
  std::string TypeLetter;

 private:
  explicit TLayer(ILayerHost& host);
  void LoadElementMask(const std::string& fileName);
  void Init(TBitmap32 source, const TLayerRecord* record, const std::string& caption = {});
  void SetColourValue(int TColorValues::*field, int value);
  void RestoreValues(const TLayerHistoryItem& item);
  bool UndoItem(const TLayerHistoryItem& item);
  void RestorePosition(const TLayerHistoryItem& item);
  void RenderInto(TLayerRendering& rendering, const TViewFrame& frame, double scale);
  void RepaintUnion(const TRect& before, bool clipToWindow);
  // After a move of the layer: a whole view rendering moves with it (true); false
  // when the view must be rendered again.
  bool MoveView();

  ILayerHost& host_;
  bool visible_ = true;
  TColorValues values_;
  int level_ = 0;
  int angle_ = 0;
  TEditMode editMode_ = emUndone;
  TLayerRendering view_;
  TLayerRendering output_;
  TViewFrame deskFrame_;  // the desk's frame the view rendering is for
  TMaskA baseMask_;
  std::uint64_t derivedRevision_ = 0;  // the mask's revision when derived from the base
  std::vector<std::unique_ptr<TLayerHistoryItem>> history_;
};
