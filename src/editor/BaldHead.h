#pragma once
// The bald-head editor's picture work: erasing the portrait with a round eraser,
// the head outline (the upper half of an ellipse above a cut line) with its
// handles, and filling the blanks inside the outline from their neighbours.
// Coordinates are the portrait picture's pixels.
#include <cstdint>
#include <vector>

#include "picture/Bitmap32.h"
#include "platform/Geometry.h"

// The head outline: the ellipse inscribed in `Ellipse` (right and bottom
// exclusive), cut by the line from `CutLeft` to `CutRight`; the region is the
// part of the ellipse above that line.
struct THeadShape {
  TRect Ellipse;
  TPoint CutLeft;
  TPoint CutRight;

  // Pixel centres decide, so the region does not depend on a platform's region rules.
  bool Contains(int x, int y) const;
  // The smallest rectangle holding every pixel of the region (empty when none).
  TRect RegionBounds() const;
};

enum class TBaldHeadMode { Eraser, BaldHead };
enum class TShapeHandle { None, CutLeft, CutRight, LeftEdge, RightEdge, TopEdge, BottomEdge, Whole };

// Composition over white: what an erased picture looks like on the screen.
TColor32 OverWhite(TColor32 color, std::uint8_t alpha);

class TBaldHeadEditor {
 public:
  static constexpr int kTemplateWidth = 190;
  static constexpr int kTemplateHeight = 220;
  // Handles can be pushed no closer than this to their opposite edge.
  static constexpr int kMinShapeSide = 20;

  // `facePoint` and `layerOrigin` are canvas pixels; the outline starts placed
  // from the face point as it lies in the picture.
  TBaldHeadEditor(const TBitmap32& picture, TPoint facePoint, TPoint layerOrigin);

  TBaldHeadMode Mode() const { return mode_; }
  // Eraser mode keeps what was erased; every entry into bald-head mode places
  // the outline anew and starts the fill from the erased picture.
  void EnterEraserMode();
  void EnterBaldHeadMode();

  // Erases (or with `restore`, brings back) the disc of `radius` around (x, y);
  // returns the rectangle that may have changed.
  TRect Erase(int x, int y, int radius, bool restore);

  TShapeHandle HandleAt(TPoint p) const;
  void ShapeMouseDown(TPoint p);
  // True when the outline changed.
  bool ShapeMouseMove(TPoint p);
  void ShapeMouseUp() { held_ = TShapeHandle::None; }
  TShapeHandle Held() const { return held_; }
  const THeadShape& Shape() const { return shape_; }

  // Grows colour into the blank pixels inside the outline from their opaque
  // neighbours, bottom row first, each row from its middle outwards.
  void FillBlank();
  bool Filled() const { return filled_; }

  // What the user sees, opaque: the erased picture (or in bald-head mode the
  // fill) composed over white.
  TBitmap32 View() const;
  // The unedited colours with the alpha the eraser left.
  const TBitmap32& Erased() const { return erased_; }
  // The editor's result: the filled picture where it is opaque, the unedited
  // picture everywhere else, so unfilled erasures come back as they were.
  TBitmap32 Result() const;

 private:
  void SetEllipseSide(TShapeHandle handle, TPoint p);

  TBitmap32 unedited_;
  TBitmap32 erased_;  // unedited colours with the current alpha
  TBitmap32 work_;    // the fill works on this copy of erased_
  THeadShape shape_;
  TPoint headOffset_;
  TBaldHeadMode mode_ = TBaldHeadMode::Eraser;
  TShapeHandle held_ = TShapeHandle::None;
  TPoint last_;
  bool filled_ = false;
};
