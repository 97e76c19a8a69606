#pragma once
// The adjust window's geometry and mouse state machine, without Qt: the fitted
// view, the face mode's eye lines and crop frame, the hand mode's frame and nail
// markers, the body mode's frame, and what OK cuts out of the source picture.
// Every coordinate is a view pixel unless said otherwise.
#include <cstdint>
#include <optional>

#include "editor/WorkPoints.h"
#include "editor/EyeDetector.h"
#include "picture/Bitmap32.h"
#include "platform/Geometry.h"
#include "shell/ProgramCursors.h"

enum TAdjustKind : std::uint8_t { kAdjustFace = 0, kAdjustHand = 1, kAdjustBody = 2, kAdjustFigure = 3 };

enum TAdjustDrag : std::uint8_t {
  kDragIdle = 0,
  kDragCropFrame = 1,  // vertically only
  kDragHandFrame = 2,
  kSizeHandFrame = 3,
  kDragMarker = 4,
  kSizeMarker = 5,
  kTurnMarker = 6,
  kDragBodyFrame = 7,
  kSizeBodyFrame = 8,
};

// Numbers of the screen's cursor list: the program's own cursors and the
// standard shapes.
enum class TAdjustCursor {
  Default = crDefault,
  HSplit = crHSplit,
  VSplit = crVSplit,
  SizeWE = crSizeWE,
  SizeNS = crSizeNS,
  SizeAll = crSizeAll,
  Eye = crEye,
  EyeLines = crEyeLines,
  HandFlat = crHandFlat,
  HandGrab = crHandGrab,
  Rotate = crRotate,
};

enum class TMouseButton { Left, Right, Other };

// Where the source picture lands in the view: it fills the height or the width and
// is centred on the other axis (offsets rounded, ties to even).
struct TViewFit {
  double Scale = 1.0;   // view pixels per source pixel
  TRect Picture;        // the displayed picture in the view
  bool FillsHeight = false;
};
// nullopt for an empty source or view.
std::optional<TViewFit> FitIntoView(int sourceWidth, int sourceHeight, int viewWidth, int viewHeight);

// The view's picture: white, with the source stretched (bilinear) into fit.Picture.
TBitmap32 MakeFittedView(const TBitmap32& source, const std::optional<TViewFit>& fit, int viewWidth, int viewHeight);

// What OK copies: source pixels `Source` (right and bottom exclusive) stretched
// into `Dest` of the view-sized result. `Source` is empty when nothing is copied.
struct TCropPlan {
  TRect Source;
  TRect Dest;
  TPoint EyePoint;  // face: the left eye in the result
};

// The result of OK for one kind: the view-sized picture for the new layer, where
// that layer goes on the canvas, and the reference point it sets.
struct TAdjustOutcome {
  TBitmap32 Bitmap;
  TPoint LayerOrigin;
  TPoint EyePoint;
  TPoint FacePoint{-1, -1};  // face
  TPoint BodyPoint{-1, -1};  // body and figure
};

// A nail marker's picture: white, a filled ellipse without its lower quarter (red
// edged black, or magenta edged navy when hovered), turned by -ViewAngle.
TBitmap32 MakeMarkerBitmap(const THandMarker& marker, bool hovered);

class TAdjustModel {
 public:
  static constexpr int kEyeDistance = 89;  // view pixels between the eyes in the portrait
  static constexpr int kLineGrip = 5;      // how near a line the mouse must be to take it
  static constexpr double kStartFrameScale = 1.1;

  // `markers` is the work's hand marker array (the desk's points), which the
  // model reads and writes.
  TAdjustModel(int viewWidth, int viewHeight, THandMarkers& markers);

  int ViewWidth() const { return width_; }
  int ViewHeight() const { return height_; }

  // Each showing: fits the new source (an empty one has no fit), then takes the
  // detector's eyes when they map to sane lines (else, for a fitted source, puts
  // the lines at their default places), shows the crop frame when the eyes
  // are closer than kEyeDistance, recentres it and ends any drag. Returns whether
  // the eyes were taken.
  bool Show(int sourceWidth, int sourceHeight, const std::optional<TEyeAnswer>& eyes);
  const std::optional<TViewFit>& Fit() const { return fit_; }

  // False when `kind` is already chosen.
  bool SelectKind(TAdjustKind kind);

  // Mouse on the view. Each returns whether the view must be redrawn.
  bool MouseDown(TPoint p, TMouseButton button, bool ctrl, bool shift);
  bool MouseMove(TPoint p, bool leftHeld, bool rightHeld);
  bool MouseUp(TPoint p, TMouseButton button);
  TAdjustCursor Cursor() const { return cursor_; }

  // The crop frame's size for the current eye distance, and the frame recentred
  // on the eye lines.
  void RecentreCrop();
  // The left eye inside the portrait as the crop frame cuts it now.
  TPoint CropEyePoint() const;

  // What OK would copy for the face, hand or body (figure follows body), from a
  // source of the given size; an empty source copies nothing.
  TCropPlan PlanFace(int sourceWidth, int sourceHeight) const;
  TCropPlan PlanFrame(const TRect& frame, double scale, int sourceWidth, int sourceHeight) const;

  // OK for the current kind: cuts the source, places the layer centred on a canvas
  // of canvasWidth x canvasHeight and computes its reference point; for the hand,
  // writes the markers' canvas positions and sizes. nullopt for an empty source.
  std::optional<TAdjustOutcome> Finish(const TBitmap32& source, bool sourceHasAlpha, int canvasWidth,
                                       int canvasHeight);

  // State, named as the window's fields.
  TAdjustKind AdjustKind = kAdjustFace;
  int LeftEyeX = 0;
  int RightEyeX = 0;
  int EyeLineY = 0;
  TRect CropFrame;
  bool CropShown = false;
  TRect HandFrame;
  double HandFrameScale = kStartFrameScale;
  TRect BodyFrame;
  double BodyFrameScale = kStartFrameScale;
  TPoint EyePoint;
  int HoverMarker = 0;  // 1 to 5, 0 = none
  TAdjustDrag DragState = kDragIdle;
  bool DraggingLines = false;
  bool DragEyeLine = false;
  bool DragLeftEye = false;
  bool DragRightEye = false;
  TPoint MouseDownPoint;
  TPoint LastMousePoint;
  TPoint GrabOffset;

  THandMarkers& Markers() { return markers_; }
  const THandMarkers& Markers() const { return markers_; }

 private:
  bool InView(TPoint p) const { return p.X >= 0 && p.Y >= 0 && p.X < width_ && p.Y < height_; }
  TRect FrameOfScale(double scale) const;
  int MarkerAt(TPoint p) const;  // 1 to 5, 0 = none
  void RebuildMarker(int number);
  void ResizeCropToEyes();
  void DefaultEyeLines();
  bool DownFace(TPoint p);
  bool DownHand(TPoint p, TMouseButton button, bool ctrl, bool shift);
  // Inside `frame`: starts moving it, or sizing it with Ctrl.
  bool DownFrame(const TRect& frame, TPoint p, bool ctrl, TAdjustDrag move, TAdjustDrag size);
  bool MoveFace(TPoint p);
  bool HoverFace(TPoint p);
  bool MoveFrame(TRect& frame, TPoint p);
  bool SizeFrame(TRect& frame, double& scale, int dx);
  bool MoveMarker(TPoint p, int dx, int dy, bool rightHeld, bool leftHeld);
  bool HoverHand(TPoint p);
  void FinishMarkers(const TRect& frame, double scale, TPoint layerOrigin, int canvasWidth, int canvasHeight);

  int width_;
  int height_;
  THandMarkers& markers_;
  std::optional<TViewFit> fit_;
  TAdjustCursor cursor_ = TAdjustCursor::Default;
  int activeMarker_ = 0;  // the marker being dragged, sized or turned
};
