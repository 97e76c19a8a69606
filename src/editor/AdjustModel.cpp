#include "editor/AdjustModel.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "picture/BitmapRoutines.h"
#include "platform/Numeric.h"

namespace {

constexpr int kNailWidth = 27;
constexpr int kNailLength = 57;
constexpr double kMinMarkerFactor = 0.5;
constexpr double kMaxMarkerFactor = 2.0;
constexpr double kMinFrameScale = 1.0;
constexpr double kMaxFrameScale = 10.0;

const TColor32 kWhite = Color32(255, 255, 255);
const TColor32 kTransparentWhite = Color32(255, 255, 255, 0);

// Start places of the five markers around the view's centre, thumb to little finger.
constexpr TPoint kMarkerStart[kHandMarkerCount] = {{-60, 0}, {-30, -20}, {0, -40}, {30, -20}, {60, 0}};

int Rnd(double value) { return RoundInt(value); }

bool Near(int a, int b) { return std::abs(a - b) <= TAdjustModel::kLineGrip; }

// `inner` lies wholly inside `outer`.
bool Inside(const TRect& inner, const TRect& outer) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
         inner.Bottom <= outer.Bottom;
}

TRect ClampToPicture(TRect r, int width, int height) {
  r.Left = std::clamp(r.Left, 0, width);
  r.Right = std::clamp(r.Right, r.Left, width);
  r.Top = std::clamp(r.Top, 0, height);
  r.Bottom = std::clamp(r.Bottom, r.Top, height);
  return r;
}

// The view rectangle `r` as the source pixels under it: the first and the last
// pixel each rounded, so a frame over the whole displayed picture takes it whole.
TRect ViewToSource(const TRect& r, const TViewFit& fit, int sourceWidth, int sourceHeight) {
  const double s = fit.Scale;
  const TRect& p = fit.Picture;
  return ClampToPicture({Rnd((r.Left - p.Left) / s), Rnd((r.Top - p.Top) / s), Rnd((r.Right - p.Left) / s - 1) + 1,
                         Rnd((r.Bottom - p.Top) / s - 1) + 1},
                        sourceWidth, sourceHeight);
}

TBitmap32 CopyPart(const TBitmap32& source, const TRect& part) {
  TBitmap32 copy;
  if (!copy.SetSize(part.Width(), part.Height())) return copy;
  for (int y = 0; y < part.Height(); ++y)
    std::memcpy(copy.Row(y), source.PixelPtr(part.Left, part.Top + y), static_cast<std::size_t>(part.Width()) * 4);
  return copy;
}

}  // namespace

std::optional<TViewFit> FitIntoView(int sourceWidth, int sourceHeight, int viewWidth, int viewHeight) {
  if (sourceWidth <= 0 || sourceHeight <= 0 || viewWidth <= 0 || viewHeight <= 0) return std::nullopt;
  TViewFit fit;
  // Compared as products: a picture of exactly the view's proportions fills the width.
  fit.FillsHeight = std::int64_t(sourceHeight) * viewWidth > std::int64_t(viewHeight) * sourceWidth;
  if (fit.FillsHeight) {
    fit.Scale = double(viewHeight) / sourceHeight;
    const int width = std::max(1, Rnd(sourceWidth * fit.Scale));
    fit.Picture = Bounds(Rnd((viewWidth - width) / 2.0), 0, width, viewHeight);
  } else {
    fit.Scale = double(viewWidth) / sourceWidth;
    const int height = std::max(1, Rnd(sourceHeight * fit.Scale));
    fit.Picture = Bounds(0, Rnd((viewHeight - height) / 2.0), viewWidth, height);
  }
  return fit;
}

TBitmap32 MakeFittedView(const TBitmap32& source, const std::optional<TViewFit>& fit, int viewWidth,
                         int viewHeight) {
  TBitmap32 view;
  view.SetSize(viewWidth, viewHeight, kWhite);
  if (fit && !source.Empty()) StretchDrawBilinear(view, fit->Picture, source);
  return view;
}

TBitmap32 MakeMarkerBitmap(const THandMarker& marker, bool hovered) {
  const int width = std::max(1, Rnd(kNailWidth * marker.WidthFactor));
  const int height = std::max(1, Rnd(kNailLength * marker.LengthFactor));
  const TColor32 pen = hovered ? Color32(0, 0, 128) : Color32(0, 0, 0);
  const TColor32 brush = hovered ? Color32(255, 0, 255) : Color32(255, 0, 0);
  // The ellipse filling the bitmap, cut by a chord at three quarters of its height.
  const int chordY = height / 4 * 3;
  const double rx = width / 2.0, ry = height / 2.0;
  const auto inside = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= width || y > chordY || y >= height) return false;
    const double u = (x + 0.5 - rx) / rx, v = (y + 0.5 - ry) / ry;
    return u * u + v * v <= 1.0;
  };
  TBitmap32 nail(width, height, kWhite);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (!inside(x, y)) continue;
      const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
      nail.SetPixel(x, y, edge ? pen : brush);
    }
  if (marker.ViewAngle == 0) return nail;
  TBitmap32 turned = RotateBitmap(nail, -marker.ViewAngle, width / 2, height / 2);
  return turned.Empty() ? nail : turned;
}

void TAdjustModel::DefaultEyeLines() {
  EyeLineY = height_ / 2;
  LeftEyeX = width_ / 3;
  RightEyeX = width_ / 3 * 2;
}

TAdjustModel::TAdjustModel(int viewWidth, int viewHeight, THandMarkers& markers)
    : width_(std::max(3, viewWidth)), height_(std::max(1, viewHeight)), markers_(markers) {
  DefaultEyeLines();
  const bool shown = CropShown;
  RecentreCrop();
  CropShown = shown;  // the frame is first shown by a showing
  HandFrame = FrameOfScale(HandFrameScale);
  BodyFrame = FrameOfScale(BodyFrameScale);
  // Only the markers' places in the view start here: their canvas points belong
  // to the work on the desk, which may have been opened before this model.
  const int cx = width_ / 2, cy = height_ / 2;
  for (int i = 0; i < kHandMarkerCount; ++i) {
    markers_[i].ViewX = cx + kMarkerStart[i].X;
    markers_[i].ViewY = cy + kMarkerStart[i].Y;
    RebuildMarker(i + 1);
  }
}

TRect TAdjustModel::FrameOfScale(double scale) const {
  const int w = Rnd(width_ / scale), h = Rnd(height_ / scale);
  return Bounds((width_ - w) / 2, (height_ - h) / 2, w, h);
}

void TAdjustModel::ResizeCropToEyes() {
  const int d = std::max(1, std::abs(RightEyeX - LeftEyeX));
  const int w = Rnd(double(width_) * d / kEyeDistance);
  const int h = Rnd(double(height_) * d / kEyeDistance);
  const int left = LeftEyeX - (w / 2 - d / 2);
  CropFrame = Bounds(left, CropFrame.Top, w, h);
  CropShown = h < height_;
}

void TAdjustModel::RecentreCrop() {
  ResizeCropToEyes();
  CropFrame = Bounds(CropFrame.Left, EyeLineY - CropFrame.Height() / 2, CropFrame.Width(), CropFrame.Height());
  CropShown = std::abs(RightEyeX - LeftEyeX) < kEyeDistance;
}

TPoint TAdjustModel::CropEyePoint() const {
  const double k = double(kEyeDistance) / std::max(1, std::abs(RightEyeX - LeftEyeX));
  return {Rnd((LeftEyeX - CropFrame.Left) * k), Rnd((EyeLineY - CropFrame.Top) * k)};
}

bool TAdjustModel::Show(int sourceWidth, int sourceHeight, const std::optional<TEyeAnswer>& eyes) {
  fit_ = FitIntoView(sourceWidth, sourceHeight, width_, height_);
  bool taken = false;
  if (fit_ && eyes) {
    // f is source pixels per view pixel along the axis the picture fills.
    const double f = fit_->FillsHeight ? double(sourceHeight) / height_ : double(sourceWidth) / width_;
    const int left = Rnd(eyes->RightX1 / f) + fit_->Picture.Left;
    const int right = Rnd(eyes->LeftX1 / f) + fit_->Picture.Left;
    const int line = Rnd(eyes->LeftY1 / f) + fit_->Picture.Top;
    // The detector's right eye is the picture's left-hand one; lines that would
    // cross or leave the view are not taken.
    taken = 0 <= left && left < right && right < width_ && 0 <= line && line < height_;
    if (taken) {
      LeftEyeX = left;
      RightEyeX = right;
      EyeLineY = line;
    }
  }
  // Without a face found the lines stay where the last fitting left them: a
  // series of photographs taken alike needs no new placing.
  RecentreCrop();
  HoverMarker = 0;
  DragState = kDragIdle;
  DraggingLines = DragEyeLine = DragLeftEye = DragRightEye = false;
  activeMarker_ = 0;
  cursor_ = TAdjustCursor::Default;
  for (int n = 1; n <= kHandMarkerCount; ++n) RebuildMarker(n);
  return taken;
}

bool TAdjustModel::SelectKind(TAdjustKind kind) {
  if (kind == AdjustKind) return false;
  AdjustKind = kind;
  return true;
}

void TAdjustModel::RebuildMarker(int number) {
  if (number < 1 || number > kHandMarkerCount) return;
  markers_[number - 1].Bitmap = MakeMarkerBitmap(markers_[number - 1], number == HoverMarker);
}

int TAdjustModel::MarkerAt(TPoint p) const {
  for (int i = 0; i < kHandMarkerCount; ++i) {
    const THandMarker& m = markers_[i];
    const int half = Rnd(kNailWidth * m.WidthFactor) / 2;
    if (std::abs(p.X - m.ViewX) <= half && std::abs(p.Y - m.ViewY) <= half) return i + 1;
  }
  return 0;
}

// --- Mouse down ------------------------------------------------------------------

bool TAdjustModel::MouseDown(TPoint p, TMouseButton button, bool ctrl, bool shift) {
  MouseDownPoint = LastMousePoint = p;
  switch (AdjustKind) {
    case kAdjustFace: return DownFace(p);
    case kAdjustHand: return DownHand(p, button, ctrl, shift);
    default: return DownFrame(BodyFrame, p, ctrl, kDragBodyFrame, kSizeBodyFrame);
  }
}

bool TAdjustModel::DownFace(TPoint p) {
  if ((Near(p.X, LeftEyeX) || Near(p.X, RightEyeX)) && p.Y > 0 && p.Y < height_) {
    cursor_ = TAdjustCursor::HSplit;
    DraggingLines = true;
    (Near(p.X, LeftEyeX) ? DragLeftEye : DragRightEye) = true;
  } else if (Near(p.Y, EyeLineY) && p.X > 0 && p.X < width_) {
    cursor_ = TAdjustCursor::VSplit;
    DraggingLines = DragEyeLine = true;
  } else if (CropShown && CropFrame.Contains(p)) {
    GrabOffset.Y = p.Y - CropFrame.Top;
    DragState = kDragCropFrame;
    cursor_ = TAdjustCursor::HandGrab;
    DraggingLines = true;  // ends like a line drag
  }
  return false;
}

bool TAdjustModel::DownHand(TPoint p, TMouseButton button, bool ctrl, bool shift) {
  if (const int hit = MarkerAt(p)) {
    const THandMarker& m = markers_[hit - 1];
    activeMarker_ = hit;
    GrabOffset = {p.X - m.ViewX, p.Y - m.ViewY};
    if (ctrl) {
      DragState = kSizeMarker;
      cursor_ = button == TMouseButton::Right ? TAdjustCursor::SizeWE : TAdjustCursor::SizeNS;
    } else if (shift) {
      DragState = kTurnMarker;
      cursor_ = TAdjustCursor::Rotate;
    } else {
      DragState = kDragMarker;
      cursor_ = TAdjustCursor::HandGrab;
    }
  } else {
    DownFrame(HandFrame, p, ctrl, kDragHandFrame, kSizeHandFrame);
  }
  return false;
}

bool TAdjustModel::DownFrame(const TRect& frame, TPoint p, bool ctrl, TAdjustDrag move, TAdjustDrag size) {
  if (!frame.Contains(p)) return false;
  if (ctrl) {
    DragState = size;
    cursor_ = TAdjustCursor::SizeAll;
  } else {
    GrabOffset = {p.X - frame.Left, p.Y - frame.Top};
    DragState = move;
    cursor_ = TAdjustCursor::HandGrab;
  }
  return false;
}

// --- Mouse move ------------------------------------------------------------------

bool TAdjustModel::MouseMove(TPoint p, bool leftHeld, bool rightHeld) {
  const int dx = p.X - LastMousePoint.X, dy = p.Y - LastMousePoint.Y;
  bool redraw = false;
  if (AdjustKind == kAdjustFace) {
    redraw = DraggingLines ? MoveFace(p) : HoverFace(p);
  } else if (AdjustKind == kAdjustHand) {
    switch (DragState) {
      case kDragHandFrame: redraw = MoveFrame(HandFrame, p); break;
      case kSizeHandFrame: redraw = SizeFrame(HandFrame, HandFrameScale, dx); break;
      case kDragMarker:
      case kSizeMarker:
      case kTurnMarker: redraw = MoveMarker(p, dx, dy, rightHeld, leftHeld); break;
      default: redraw = HoverHand(p);
    }
  } else {
    switch (DragState) {
      case kDragBodyFrame: redraw = MoveFrame(BodyFrame, p); break;
      case kSizeBodyFrame: redraw = SizeFrame(BodyFrame, BodyFrameScale, dx); break;
      default: cursor_ = BodyFrame.Contains(p) ? TAdjustCursor::HandFlat : TAdjustCursor::Default;
    }
  }
  LastMousePoint = p;
  return redraw;
}

bool TAdjustModel::MoveFace(TPoint p) {
  bool changed = false;
  if (DragEyeLine && p.Y > 0 && p.Y < height_ && p.X >= 1 && p.X < width_) {
    EyeLineY = p.Y;
    changed = true;
  }
  if (DragLeftEye && p.X >= 1 && p.X < RightEyeX) {
    LeftEyeX = p.X;
    ResizeCropToEyes();
    changed = true;
  }
  if (DragRightEye && p.X > LeftEyeX && p.X < width_) {
    RightEyeX = p.X;
    ResizeCropToEyes();
    changed = true;
  }
  if (DragState == kDragCropFrame && p.Y >= 1 && p.Y < height_) {
    CropFrame = Bounds(CropFrame.Left, p.Y - GrabOffset.Y, CropFrame.Width(), CropFrame.Height());
    changed = true;
  }
  return changed;
}

bool TAdjustModel::HoverFace(TPoint p) {
  if (Near(p.Y, EyeLineY) && p.X >= 1 && p.X < width_)
    cursor_ = TAdjustCursor::EyeLines;
  else if ((Near(p.X, LeftEyeX) || Near(p.X, RightEyeX)) && p.Y >= 1 && p.Y < height_)
    cursor_ = TAdjustCursor::HSplit;
  else if (CropShown && CropFrame.Contains(p))
    cursor_ = TAdjustCursor::HandFlat;
  else
    cursor_ = InView(p) ? TAdjustCursor::Eye : TAdjustCursor::Default;
  return false;
}

bool TAdjustModel::MoveFrame(TRect& frame, TPoint p) {
  const int left = std::clamp(p.X - GrabOffset.X, 0, std::max(0, width_ - frame.Width()));
  const int top = std::clamp(p.Y - GrabOffset.Y, 0, std::max(0, height_ - frame.Height()));
  if (left == frame.Left && top == frame.Top) return false;
  frame = Bounds(left, top, frame.Width(), frame.Height());
  return true;
}

bool TAdjustModel::SizeFrame(TRect& frame, double& scale, int dx) {
  const double newScale = std::clamp(scale - dx / 100.0, kMinFrameScale, kMaxFrameScale);
  if (newScale == scale) return false;
  scale = newScale;
  const TRect sized = FrameOfScale(scale);
  // Keep the centre, then stay inside the view.
  const int left = frame.Left + (frame.Width() - sized.Width()) / 2;
  const int top = frame.Top + (frame.Height() - sized.Height()) / 2;
  frame = Bounds(std::clamp(left, 0, width_ - sized.Width()), std::clamp(top, 0, height_ - sized.Height()),
                 sized.Width(), sized.Height());
  return true;
}

bool TAdjustModel::MoveMarker(TPoint p, int dx, int dy, bool rightHeld, bool leftHeld) {
  if (activeMarker_ < 1) return false;
  THandMarker& m = markers_[activeMarker_ - 1];
  switch (DragState) {
    case kDragMarker:
      m.ViewX = std::clamp(p.X - GrabOffset.X, 0, width_ - 1);
      m.ViewY = std::clamp(p.Y - GrabOffset.Y, 0, height_ - 1);
      return true;
    case kSizeMarker:
      if (rightHeld)
        m.WidthFactor = std::clamp(m.WidthFactor + dx / 100.0, kMinMarkerFactor, kMaxMarkerFactor);
      else if (leftHeld)  // dragging up makes the nail longer
        m.LengthFactor = std::clamp(m.LengthFactor - dy / 100.0, kMinMarkerFactor, kMaxMarkerFactor);
      RebuildMarker(activeMarker_);
      return true;
    case kTurnMarker: {
      const int angle = (m.ViewAngle + dx / 2) % 360;  // the sign is kept
      if (angle == m.ViewAngle) return false;
      m.ViewAngle = angle;
      RebuildMarker(activeMarker_);
      return true;
    }
    default: return false;
  }
}

bool TAdjustModel::HoverHand(TPoint p) {
  const int hit = MarkerAt(p);
  cursor_ = hit || HandFrame.Contains(p) ? TAdjustCursor::HandFlat : TAdjustCursor::Default;
  if (hit == HoverMarker) return false;
  const int old = HoverMarker;
  HoverMarker = hit;
  RebuildMarker(old);
  RebuildMarker(hit);
  return true;
}

// --- Mouse up --------------------------------------------------------------------

bool TAdjustModel::MouseUp(TPoint p, TMouseButton button) {
  cursor_ = TAdjustCursor::Default;
  bool redraw = false;
  if (AdjustKind == kAdjustFace) {
    if (p == MouseDownPoint && InView(p)) {
      bool jumped = false;
      if (button == TMouseButton::Left && p.X < RightEyeX) {
        LeftEyeX = p.X;
        jumped = true;
      } else if (button == TMouseButton::Right && p.X > LeftEyeX) {
        RightEyeX = p.X;
        jumped = true;
      }
      if (jumped) {
        EyeLineY = p.Y;
        RecentreCrop();
        redraw = true;
      }
    }
    if (DraggingLines) {
      EyePoint = CropEyePoint();
      DraggingLines = DragEyeLine = DragLeftEye = DragRightEye = false;
      redraw = true;
    }
  }
  DragState = kDragIdle;
  activeMarker_ = 0;
  return redraw;
}

// --- OK --------------------------------------------------------------------------

TCropPlan TAdjustModel::PlanFace(int sourceWidth, int sourceHeight) const {
  TCropPlan plan;
  plan.EyePoint = CropEyePoint();
  const auto fit = FitIntoView(sourceWidth, sourceHeight, width_, height_);
  if (!fit) return plan;
  const double k = double(kEyeDistance) / std::max(1, std::abs(RightEyeX - LeftEyeX));
  const TRect& picture = fit->Picture;
  const TRect& frame = CropFrame;
  if (Inside(frame, picture)) {
    plan.Source = ViewToSource(frame, *fit, sourceWidth, sourceHeight);
    plan.Dest = Bounds(0, 0, width_, height_);
  } else if (frame.Height() <= height_) {
    // Only the part of the frame the picture covers, at the frame's scale, centred.
    const TRect part = IntersectRects(frame, picture);
    if (part.IsEmpty()) return plan;
    const int w = Rnd(part.Width() * k), h = Rnd(part.Height() * k);
    const int left = std::max(0, Rnd((width_ - w) / 2.0)), top = std::max(0, Rnd((height_ - h) / 2.0));
    plan.Source = ViewToSource(part, *fit, sourceWidth, sourceHeight);
    plan.Dest = Bounds(left, top, w, h);
    plan.EyePoint = {Rnd((LeftEyeX - part.Left) * k) + left, Rnd((EyeLineY - part.Top) * k) + top};
  } else {
    // The eyes are farther apart than in a portrait: the whole picture, shrunk.
    const int w = Rnd(sourceWidth * fit->Scale * k), h = Rnd(sourceHeight * fit->Scale * k);
    const int left = Rnd((width_ - w) / 2.0), top = Rnd((height_ - h) / 2.0);
    plan.Source = Bounds(0, 0, sourceWidth, sourceHeight);
    plan.Dest = Bounds(left, top, w, h);
    plan.EyePoint = {Rnd((LeftEyeX - picture.Left) * k) + left, Rnd((EyeLineY - picture.Top) * k) + top};
  }
  return plan;
}

TCropPlan TAdjustModel::PlanFrame(const TRect& frame, double scale, int sourceWidth, int sourceHeight) const {
  TCropPlan plan;
  const auto fit = FitIntoView(sourceWidth, sourceHeight, width_, height_);
  if (!fit) return plan;
  const TRect part = IntersectRectOrNone(fit->Picture, frame);
  if (part == TRect{-1, -1, -1, -1}) return plan;
  const double s = fit->Scale;
  plan.Source = ClampToPicture(Bounds(Rnd((part.Left - fit->Picture.Left) / s), Rnd((part.Top - fit->Picture.Top) / s),
                                      Rnd(part.Width() / s), Rnd(part.Height() / s)),
                               sourceWidth, sourceHeight);
  plan.Dest = Bounds(Rnd((part.Left - frame.Left) * scale), Rnd((part.Top - frame.Top) * scale),
                     Rnd((part.Width() + 1) * scale), Rnd((part.Height() + 1) * scale));
  return plan;
}

void TAdjustModel::FinishMarkers(const TRect& frame, double scale, TPoint layerOrigin, int canvasWidth,
                                 int canvasHeight) {
  for (THandMarker& m : markers_) {
    // The canvas's last pixel is the farthest a marker may sit.
    m.X = std::clamp(Rnd((m.ViewX - frame.Left) * scale) + layerOrigin.X, 0, std::max(0, canvasWidth - 1));
    m.Y = std::clamp(Rnd((m.ViewY - frame.Top) * scale) + layerOrigin.Y, 0, std::max(0, canvasHeight - 1));
    m.Width = Rnd(kNailWidth * m.WidthFactor * scale);
    m.Length = Rnd(kNailLength * m.LengthFactor * scale);
    m.Angle = m.ViewAngle;
  }
}

std::optional<TAdjustOutcome> TAdjustModel::Finish(const TBitmap32& source, bool sourceHasAlpha, int canvasWidth,
                                                   int canvasHeight) {
  if (source.Empty()) return std::nullopt;
  CropShown = false;
  TAdjustOutcome out;
  // The margins stay transparent white unless the source is wholly opaque.
  out.Bitmap.SetSize(width_, height_, kTransparentWhite);
  if (sourceHasAlpha && AlphaIs(source, 255)) SetAlpha(out.Bitmap, 255);

  const bool face = AdjustKind == kAdjustFace, hand = AdjustKind == kAdjustHand;
  const TRect& frame = hand ? HandFrame : BodyFrame;
  const double scale = hand ? HandFrameScale : BodyFrameScale;
  const TCropPlan plan = face ? PlanFace(source.Width(), source.Height())
                              : PlanFrame(frame, scale, source.Width(), source.Height());
  if (!plan.Source.IsEmpty() && !plan.Dest.IsEmpty()) {
    const TBitmap32 part = CopyPart(source, plan.Source);
    if (sourceHasAlpha)
      StretchDrawAlpha(out.Bitmap, plan.Dest, part, false);
    else
      StretchDrawBilinear(out.Bitmap, plan.Dest, part);
  }

  out.LayerOrigin = {Rnd((canvasWidth - width_) / 2.0), Rnd((canvasHeight - height_) / 2.0)};
  if (face) {
    EyePoint = out.EyePoint = plan.EyePoint;
    out.FacePoint = {EyePoint.X + out.LayerOrigin.X, EyePoint.Y + out.LayerOrigin.Y};
  } else if (hand) {
    FinishMarkers(frame, scale, out.LayerOrigin, canvasWidth, canvasHeight);
  } else {
    out.BodyPoint = {out.LayerOrigin.X + width_ / 2, out.LayerOrigin.Y + height_ / 2};
  }
  return out;
}
