#include "CursorPainter.h"

#include <QPainter>
#include <QPainterPath>

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
