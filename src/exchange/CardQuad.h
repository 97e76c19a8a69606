#pragma once
// The work on a post card: a four-corner (projective) mapping of the work picture,
// its eight handles and what dragging them does. Handles in order: 0 top-left
// corner, 1 top middle, 2 top-right, 3 right middle, 4 bottom-right, 5 bottom
// middle, 6 bottom-left, 7 left middle.
#include <array>
#include <optional>
#include <vector>

#include "picture/Bitmap32.h"
#include "platform/Geometry.h"

using TCardHandles = std::array<TFloatPoint, 8>;
// Top-left, top-right, bottom-right, bottom-left.
using TQuad = std::array<TFloatPoint, 4>;

// The projective mapping of the rectangle (0, 0)-(width, height) onto a quad.
class TProjectiveMap {
 public:
  // nullopt for an empty rectangle or a quad the rectangle cannot map onto (three
  // corners in a line).
  static std::optional<TProjectiveMap> FromRect(double width, double height, const TQuad& quad);
  TFloatPoint Map(TFloatPoint p) const;
  // Back from the quad to the rectangle; nullopt on the quad's horizon.
  std::optional<TFloatPoint> Unmap(TFloatPoint p) const;
  // The backward mapping's 3 x 3 coefficients, row-major, for loops over pixels.
  const double* Backward() const { return inv_; }

 private:
  double m_[9] = {};    // forward, row-major
  double inv_[9] = {};  // backward
};

// 1 when every corner of the quad turns clockwise on the screen (y down), -1 when
// every one turns the other way, 0 when it is not convex or three corners line up.
int QuadTurn(const TQuad& quad);

// True when the quad is one the mapping may take: convex, turning clockwise on the
// screen as the unmapped rectangle does (so the picture never mirrors), with each
// side, both diagonals and the distances between opposite edge middles longer than
// 50 pixels.
bool QuadAcceptable(const TCardHandles& handles);
constexpr double kMinQuadSide = 50;

// Draws `source` through the mapping of its rectangle onto `quad` into `canvas`,
// bilinear, blended by the source's alpha (the canvas keeps its own alpha).
// Nothing is drawn for an empty source or a quad the mapping refuses.
void TransformOnto(TBitmap32& canvas, const TBitmap32& source, const TQuad& quad);

// Hit zones of the card view.
enum TCardZone { kZoneNone = 0, kZoneOutside = 1, kZoneHandle0 = 2, kZoneInside = 10 };

// The image element's handles and its mouse gestures: rotation (dragging outside
// the image), scaling about the opposite corner (a corner), pushing an edge (an
// edge middle) and moving (inside). A handle drag that would leave an
// unacceptable quad, or change the side of a handle against its opposite one, is
// refused: the handles stay where they were before that step.
class TCardImage {
 public:
  // The work of width x height centred on a card of cardWidth x cardHeight.
  void Place(int width, int height, int cardWidth, int cardHeight);
  const TCardHandles& Handles() const { return points_; }
  TQuad Corners() const { return {points_[0], points_[2], points_[4], points_[6]}; }
  // Puts the corners (top-left, top-right, bottom-right, bottom-left) where they
  // are given; false, and nothing moves, for a quad the mapping may not take.
  bool SetCorners(const TQuad& corners);
  // The image's bounding rectangle (refreshed after a rotation ends and by moves).
  const TRect& BoundingRect() const { return bounds_; }
  int SourceWidth() const { return width_; }
  int SourceHeight() const { return height_; }

  // The zone under a point with no button held.
  int HitZone(int x, int y) const;
  void MouseDown(int x, int y);
  // True when the handles changed.
  bool MouseMove(int x, int y);
  void MouseUp();
  // The zone of the gesture under way (kZoneNone without one).
  int DragZone() const { return dragZone_; }
  // Handles are hidden while the whole image is moved.
  bool Moving() const { return dragZone_ == kZoneInside; }

 private:
  void Rotate(int dy, int x);
  void DragCorner(int h, TFloatPoint p);
  void DragMiddle(int m, TFloatPoint p);
  void MiddlesFromCorners();
  void RefreshBounds();
  bool SignsKept() const;

  TCardHandles points_{};
  TRect bounds_{};
  int width_ = 0;
  int height_ = 0;
  int dragZone_ = kZoneNone;
  TPoint last_{};
  TFloatPoint centre_{};
  TCardHandles start_{};
  // Pairs of handles whose sides (x and y) must not swap during a drag.
  std::vector<std::array<int, 2>> pairs_;
  std::vector<std::array<bool, 2>> signs_;
};
