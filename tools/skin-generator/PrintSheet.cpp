#include <QPainter>
#include <QPainterPath>

#include "ControlSkins.h"
#include "exchange/PrintSheet.h"
#include "picture/forms/BitmapImage.h"

namespace {

using L = TPrintSheetLayout;

// A small sheet of paper showing the layout's areas.
void DrawPageGlyph(QPainter& p, const QRectF& face, int layout) {
  const QRectF page(face.center().x() - 6.5, face.center().y() - 9, 13, 18);
  p.setPen(QPen(QColor(30, 60, 66), 1));
  p.setBrush(QColor(250, 250, 246));
  p.drawRect(page);
  const double midX = page.center().x(), midY = page.center().y();
  if (layout >= 2) p.drawLine(QPointF(page.left(), midY), QPointF(page.right(), midY));
  if (layout == 3) p.drawLine(QPointF(midX, midY), QPointF(midX, page.bottom()));
  if (layout == 4) p.drawLine(QPointF(midX, page.top()), QPointF(midX, page.bottom()));
}

void DrawFolderGlyph(QPainter& p, const QRectF& face) {
  const QPointF c = face.center();
  QPainterPath folder;
  folder.moveTo(c + QPointF(-8, -5));
  folder.lineTo(c + QPointF(-3, -5));
  folder.lineTo(c + QPointF(-1, -3));
  folder.lineTo(c + QPointF(8, -3));
  folder.lineTo(c + QPointF(8, 6));
  folder.lineTo(c + QPointF(-8, 6));
  folder.closeSubpath();
  p.setPen(QPen(QColor(90, 70, 20), 1));
  p.setBrush(QColor(240, 200, 90));
  p.drawPath(folder);
}

void DrawPrinterGlyph(QPainter& p, const QRectF& face, bool gear) {
  const QPointF c = face.center();
  p.setPen(QPen(QColor(240, 248, 248), 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(c + QPointF(-8, -2), c + QPointF(8, 5)));
  p.setBrush(QColor(250, 250, 246));
  p.drawRect(QRectF(c + QPointF(-5, -8), c + QPointF(5, -2)));
  p.drawRect(QRectF(c + QPointF(-5, 3), c + QPointF(5, 8)));
  if (gear) {
    p.setBrush(QColor(240, 200, 90));
    p.setPen(QPen(QColor(90, 70, 20), 1));
    p.drawEllipse(c + QPointF(6, 5), 3.5, 3.5);
  }
}

void DrawCrossGlyph(QPainter& p, const QRectF& face) {
  const QPointF c = face.center();
  p.setPen(QPen(QColor(240, 248, 248), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c + QPointF(-5, -5), c + QPointF(5, 5));
  p.drawLine(c + QPointF(5, -5), c + QPointF(-5, 5));
}

}  // namespace

TBitmap32 PrintButtonSheet() {
  TBitmap32 sheet(L::SheetWidth, L::SheetHeight, 0);
  struct TRow {
    int Top, Width;
  };
  const TRow rows[] = {{L::PageTop(1), L::SquareSide}, {L::PageTop(2), L::SquareSide}, {L::PageTop(3), L::SquareSide},
                       {L::PageTop(4), L::SquareSide}, {L::ChangeDirTop, L::SquareSide}, {L::SetupTop, L::SquareSide},
                       {L::PrintTop, L::WideWidth},    {L::CancelTop, L::WideWidth}};
  for (const TRow& row : rows)
    DrawButtonFrames(sheet, Bounds(0, row.Top, 3 * row.Width, L::Height), row.Width, TButtonGlyph::Blank);
  QImage view = WritableImageView(sheet);
  QPainter p(&view);
  p.setRenderHint(QPainter::Antialiasing);
  for (int state = 0; state < 3; ++state) {
    const int shift = state == 2 ? 1 : 0;  // pressed faces sit a pixel lower
    auto face = [&](const TRow& row) { return QRectF(state * row.Width, row.Top + shift, row.Width, L::Height); };
    for (int layout = 1; layout <= 4; ++layout) DrawPageGlyph(p, face(rows[layout - 1]), layout);
    DrawFolderGlyph(p, face(rows[4]));
    DrawPrinterGlyph(p, face(rows[5]), true);
    DrawPrinterGlyph(p, face(rows[6]), false);
    DrawCrossGlyph(p, face(rows[7]));
  }
  return sheet;
}
