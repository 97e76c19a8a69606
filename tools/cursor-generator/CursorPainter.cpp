#include "CursorPainter.h"

#include <QPainter>
#include <QPainterPath>
#include <initializer_list>

#include "shell/ProgramCursors.h"

namespace {

const QColor kInk(0, 0, 0);
const QColor kFill(255, 255, 255);

// Draws `path` twice: a wide light halo, then the dark line.
void Outline(QPainter& p, const QPainterPath& path, const QBrush& fill = Qt::NoBrush) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kFill, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  p.setBrush(fill);
  p.setPen(QPen(kInk, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
}

void Hand(QPainter& p, bool grabbing) {
  QPainterPath hand;
  hand.addRoundedRect(QRectF(9, 14, 15, 12), 4, 4);
  const double finger = grabbing ? 4 : 9;
  for (int i = 0; i < 4; ++i) hand.addRoundedRect(QRectF(9.5 + i * 3.6, 14 - finger, 3.2, finger + 3), 1.5, 1.5);
  hand.addRoundedRect(QRectF(5, grabbing ? 15 : 17, 6, 3.4), 1.5, 1.5);  // thumb
  Outline(p, hand.simplified(), kFill);
}

// The index finger points up with its tip at the hot spot (11, 3); the top-right
// corner is left free for a badge.
void PointingHand(QPainter& p) {
  QPainterPath hand;
  hand.addRoundedRect(QRectF(8, 15, 16, 12), 4, 4);
  hand.addRoundedRect(QRectF(9.5, 2, 3.6, 17), 1.8, 1.8);
  for (int i = 0; i < 3; ++i) hand.addRoundedRect(QRectF(13.1 + i * 3.6, 12 + i * 0.8, 3.4, 7), 1.5, 1.5);
  hand.addRoundedRect(QRectF(4.5, 18, 6, 3.4), 1.5, 1.5);  // thumb
  Outline(p, hand.simplified(), kFill);
}

// Adds an open line through `points` to `path`.
void Polyline(QPainterPath& path, std::initializer_list<QPointF> points) {
  path.moveTo(*points.begin());
  for (auto it = points.begin() + 1; it != points.end(); ++it) path.lineTo(*it);
}

// An open eye centred in the picture, `width` wide, with its pupil on the centre.
void Eye(QPainter& p, double width) {
  const QPointF c(15.5, 15.5);
  const double half = width / 2;
  QPainterPath lids;
  lids.moveTo(c.x() - half, c.y());
  lids.quadTo(c.x(), c.y() - half * 0.9, c.x() + half, c.y());
  lids.quadTo(c.x(), c.y() + half * 0.9, c.x() - half, c.y());
  lids.closeSubpath();
  Outline(p, lids, kFill);
  QPainterPath iris;
  iris.addEllipse(c, half * 0.38, half * 0.38);
  Outline(p, iris);
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawEllipse(c, 2.2, 2.2);
}

// The badges of the pointing hand, in its free top-right corner.
void InfoBadge(QPainter& p) {
  QPainterPath circle;
  circle.addEllipse(QPointF(25, 6.5), 4.8, 4.8);
  Outline(p, circle, kFill);
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawEllipse(QPointF(25, 4), 0.9, 0.9);
  p.drawRect(QRectF(24.3, 5.6, 1.4, 4.4));
}

void CubeBadge(QPainter& p) {
  QPainterPath cube;
  cube.addRect(QRectF(20, 5, 7, 7));  // front
  Polyline(cube, {{20, 5}, {23, 2}, {30, 2}, {27, 5}});  // top
  Polyline(cube, {{30, 2}, {30, 9}, {27, 12}});         // side
  Outline(p, cube, kFill);
}

void FilmBadge(QPainter& p) {
  QPainterPath film;
  film.addRect(QRectF(19, 1.5, 11, 10));
  Polyline(film, {{21.5, 1.5}, {21.5, 11.5}});
  Polyline(film, {{27.5, 1.5}, {27.5, 11.5}});
  Outline(p, film, kFill);
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  for (double y : {3.0, 6.0, 9.0}) {  // perforations
    p.drawRect(QRectF(19.6, y, 1.2, 1.2));
    p.drawRect(QRectF(28.2, y, 1.2, 1.2));
  }
}

// Four small arrows at the top-left: the view moves.
void Arrows(QPainter& p) {
  QPainterPath arrows;
  const QPointF c(6, 6);
  for (QPointF d : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)}) {
    const QPointF tip = c + d * 5;
    arrows.moveTo(c);
    arrows.lineTo(tip);
    const QPointF side(d.y(), d.x());
    arrows.moveTo(tip - d * 2 + side * 2);
    arrows.lineTo(tip);
    arrows.lineTo(tip - d * 2 - side * 2);
  }
  Outline(p, arrows);
}

}  // namespace

QImage PaintProgramCursor(int number) {
  if (!FindProgramCursor(number)) return {};
  QImage image(kCursorSide, kCursorSide, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF centre(15.5, 15.5);
  QPainterPath path;
  switch (number) {
    case crBrush:
      path.addEllipse(centre, 11, 11);
      path.addEllipse(centre, 1.5, 1.5);
      Outline(p, path);
      break;
    case crEraser:
      path.addRect(QRectF(8, 8, 15, 15));
      path.moveTo(8, 18);
      path.lineTo(23, 18);
      Outline(p, path, kFill);
      break;
    case crPipette:
      path.moveTo(2.5, 29.5);
      path.lineTo(17, 15);
      path.addRoundedRect(QRectF(17, 7, 9, 9), 3, 3);
      path.moveTo(14, 11);
      path.lineTo(21, 18);
      Outline(p, path);
      break;
    case crModify:
      path.addEllipse(centre, 10, 10);
      path.moveTo(centre + QPointF(-5, 0));
      path.cubicTo(centre + QPointF(-5, -6), centre + QPointF(5, -6), centre + QPointF(4, 1));
      path.lineTo(centre + QPointF(1, -1));
      path.moveTo(centre + QPointF(4, 1));
      path.lineTo(centre + QPointF(6, -2));
      Outline(p, path);
      break;
    case crHandFlat:
    case crHandGrab:
      Hand(p, number == crHandGrab);
      break;
    case crHandFlatAll:
    case crHandGrabAll:
      Hand(p, number == crHandGrabAll);
      Arrows(p);
      break;
    case crEye:
      Eye(p, 25);
      break;
    case crEyeLines:
      // The level line runs through the eye; the chevrons say it moves up and down.
      Polyline(path, {{1.5, 15.5}, {6, 15.5}});
      Polyline(path, {{25, 15.5}, {29.5, 15.5}});
      Polyline(path, {{12.5, 4.5}, {15.5, 1.5}, {18.5, 4.5}});
      Polyline(path, {{12.5, 26.5}, {15.5, 29.5}, {18.5, 26.5}});
      Outline(p, path);
      Eye(p, 18);
      break;
    case crHandPoint:
    case crHandInfo:
    case crHand3D:
    case crHandVideo:
      PointingHand(p);
      if (number == crHandInfo) InfoBadge(p);
      if (number == crHand3D) CubeBadge(p);
      if (number == crHandVideo) FilmBadge(p);
      break;
    case crLasso:
      // The loop, and its tail hanging to the hot spot at the bottom-left.
      path.addEllipse(QPointF(18.5, 10.5), 10, 7);
      path.moveTo(11, 15.5);
      path.cubicTo(8, 19, 11, 22, 8, 24.5);
      path.lineTo(4, 28);
      path.addEllipse(QPointF(8, 24.5), 1.6, 1.6);  // the knot
      Outline(p, path);
      break;
    case crRotate:
      path.arcMoveTo(QRectF(5, 5, 21, 21), 90);
      path.arcTo(QRectF(5, 5, 21, 21), 90, 270);
      path.moveTo(15.5, 5);
      path.lineTo(19.5, 1.5);
      path.moveTo(15.5, 5);
      path.lineTo(19.5, 8.5);
      path.addEllipse(centre, 1.5, 1.5);
      Outline(p, path);
      break;
    default:
      break;
  }
  return image;
}
