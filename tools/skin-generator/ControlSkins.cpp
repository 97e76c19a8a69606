#include "ControlSkins.h"

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "editor/PortraitToolDesign.h"
#include "editor/SetupDesign.h"
#include "picture/forms/BitmapImage.h"

namespace {

struct TFrameLook {
  QColor Top, Bottom, Glyph;
  int Shift;  // pressed frames move their face down by a pixel
};

TFrameLook LookOf(int state) {
  switch (state) {
    case 1: return {QColor(92, 176, 186), QColor(38, 120, 132), QColor(255, 255, 255), 0};
    case 2: return {QColor(20, 78, 88), QColor(44, 108, 118), QColor(220, 236, 238), 1};
    default: return {QColor(64, 146, 158), QColor(24, 94, 106), QColor(240, 248, 248), 0};
  }
}

void DrawGlyph(QPainter& p, TButtonGlyph glyph, const QRectF& face, const QColor& colour) {
  const double s = std::min(face.width(), face.height());
  const QPointF c = face.center();
  QPen pen(colour, std::max(1.5, s / 8), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  const double r = s * 0.28;
  QPainterPath path;
  switch (glyph) {
    case TButtonGlyph::Check:
      path.moveTo(c + QPointF(-r, 0));
      path.lineTo(c + QPointF(-r * 0.3, r * 0.7));
      path.lineTo(c + QPointF(r, -r * 0.7));
      break;
    case TButtonGlyph::Cross:
    case TButtonGlyph::Close:
      path.moveTo(c + QPointF(-r * 0.8, -r * 0.8));
      path.lineTo(c + QPointF(r * 0.8, r * 0.8));
      path.moveTo(c + QPointF(r * 0.8, -r * 0.8));
      path.lineTo(c + QPointF(-r * 0.8, r * 0.8));
      break;
    case TButtonGlyph::Minimize:
      path.moveTo(c + QPointF(-r, r * 0.6));
      path.lineTo(c + QPointF(r, r * 0.6));
      break;
    case TButtonGlyph::Blank: return;
  }
  p.drawPath(path);
}

void DrawFrame(QPainter& p, const QRect& frame, TButtonGlyph glyph, int state) {
  const TFrameLook look = LookOf(state);
  const QRectF face = QRectF(frame).adjusted(1, 1 + look.Shift, -1, -1 + look.Shift);
  const double radius = glyph == TButtonGlyph::Close || glyph == TButtonGlyph::Minimize
                            ? std::min(face.width(), face.height()) / 2
                            : face.height() / 2;
  QLinearGradient fill(face.topLeft(), face.bottomLeft());
  fill.setColorAt(0, look.Top);
  fill.setColorAt(1, look.Bottom);
  p.setPen(QPen(QColor(12, 52, 60, 220), 1));
  p.setBrush(fill);
  p.drawRoundedRect(face.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  DrawGlyph(p, glyph, face, look.Glyph);
}

}  // namespace

void DrawButtonFrames(TBitmap32& sheet, const TRect& row, int frameWidth, TButtonGlyph glyph) {
  QImage view = WritableImageView(sheet);
  if (view.isNull()) return;
  QPainter p(&view);
  p.setRenderHint(QPainter::Antialiasing);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.fillRect(QRect(row.Left, row.Top, 3 * frameWidth, row.Height()), Qt::transparent);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  for (int state = 0; state < 3; ++state)
    DrawFrame(p, QRect(row.Left + state * frameWidth, row.Top, frameWidth, row.Height()), glyph, state);
}

TBitmap32 MessageButtonSheet() {
  using L = TMessageSheetLayout;
  TBitmap32 sheet(L::SheetWidth, L::SheetHeight, 0);
  DrawButtonFrames(sheet, Bounds(0, L::YesTop, L::SheetWidth, L::ButtonHeight), L::ButtonWidth, TButtonGlyph::Check);
  DrawButtonFrames(sheet, Bounds(0, L::NoTop, L::SheetWidth, L::ButtonHeight), L::ButtonWidth, TButtonGlyph::Cross);
  DrawButtonFrames(sheet, Bounds(0, L::ExitTop, 3 * L::ExitWidth, L::ExitHeight), L::ExitWidth, TButtonGlyph::Close);
  return sheet;
}

TBitmap32 RowsButtonSheet(int width, int height, const std::vector<TButtonGlyph>& rows) {
  TBitmap32 sheet(3 * width, height * static_cast<int>(rows.size()), 0);
  for (std::size_t row = 0; row < rows.size(); ++row)
    DrawButtonFrames(sheet, Bounds(0, static_cast<int>(row) * height, 3 * width, height), width, rows[row]);
  return sheet;
}

namespace {
// `rows` rows of three blank frames of width x height, top to bottom.
TBitmap32 BlankButtonSheet(int width, int height, int rows) {
  return RowsButtonSheet(width, height, std::vector<TButtonGlyph>(rows, TButtonGlyph::Blank));
}
}  // namespace

TBitmap32 LoadSaveButtonSheet() { return BlankButtonSheet(120, 30, 1); }
TBitmap32 AdjustButtonSheet() { return BlankButtonSheet(72, 28, 6); }
TBitmap32 CameraButtonSheet() { return BlankButtonSheet(72, 28, 4); }

namespace {
// A sheet of `width` x `height` whose rows at `buttonTop` and `exitTop` hold the
// frames of a plain button and of the exit button.
TBitmap32 PlainAndExitSheet(int width, int height, int buttonTop, TPoint button, int exitTop, TPoint exit) {
  TBitmap32 sheet(width, height, 0);
  DrawButtonFrames(sheet, Bounds(0, buttonTop, 3 * button.X, button.Y), button.X, TButtonGlyph::Blank);
  DrawButtonFrames(sheet, Bounds(0, exitTop, 3 * exit.X, exit.Y), exit.X, TButtonGlyph::Close);
  return sheet;
}
}  // namespace

TBitmap32 PortraitToolButtonSheet() {
  namespace d = portrait_tool;
  TBitmap32 sheet = PlainAndExitSheet(d::kSheetWidth, d::kSheetHeight, d::kSheetButtonTop,
                                      {d::kButtonWidth, d::kButtonHeight}, d::kSheetExitTop,
                                      {d::kExit.Width(), d::kExit.Height()});
  DrawButtonFrames(sheet, Bounds(0, d::kSheetThumbTop, 3 * d::kThumbSide, d::kThumbSide), d::kThumbSide,
                   TButtonGlyph::Blank);
  QImage view = WritableImageView(sheet);
  QPainter p(&view);
  p.setRenderHint(QPainter::Antialiasing);
  auto track = [&p](int top, int w, int h) {
    for (int state = 0; state < 2; ++state) {
      const QRectF r(state * w, top, w, h);
      QPainterPath groove;
      groove.addRoundedRect(w >= h ? r.adjusted(1, 4, -1, -4) : r.adjusted(4, 1, -4, -1), 4, 4);
      p.fillPath(groove, state == 0 ? QColor(40, 44, 58) : QColor(110, 110, 116));
      p.setPen(QColor(20, 22, 30));
      p.drawPath(groove);
    }
  };
  track(d::kSheetToolTrackTop, d::kToolSlider.Width(), d::kToolSlider.Height());
  track(d::kSheetHTrackTop, d::kSliderHPos.Width(), d::kSliderHPos.Height());
  track(d::kSheetVTrackTop, d::kSliderVPos.Width(), d::kSliderVPos.Height());
  return sheet;
}

TBitmap32 SetupButtonSheet() {
  namespace d = setup_design;
  return PlainAndExitSheet(d::kSheetWidth, d::kSheetHeight, d::kSheetButtonTop, {d::kButtonWidth, d::kButtonHeight},
                           d::kSheetExitTop, {d::kExit.Width(), d::kExit.Height()});
}

namespace {
// The gallery's preview of a work not yet loaded: a framed white square; a
// private one carries a padlock.
TBitmap32 GalleryBlankPreview(bool isPrivate) {
  TBitmap32 picture(100, 100, Color32(250, 250, 252));
  QImage view = WritableImageView(picture);
  QPainter p(&view);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0, 0, 128), 2));
  p.drawRect(QRectF(1, 1, 98, 98));
  if (isPrivate) {
    p.setPen(QPen(QColor(180, 20, 20), 5));
    p.drawArc(QRectF(36, 24, 28, 32), 0, 180 * 16);
    p.fillRect(QRectF(30, 42, 40, 32), QColor(180, 20, 20));
  }
  return picture;
}
}  // namespace

std::vector<TSheetFile> DefaultButtonSheets() {
  return {{"FormMessBtn.psd", MessageButtonSheet()},
          {"ButLoSa.psd", LoadSaveButtonSheet()},
          {"ButAdjst.psd", AdjustButtonSheet()},
          {"ButPrint.psd", PrintButtonSheet()},
          {"ButCamer.psd", CameraButtonSheet()},
          // Registration and the gallery: start, stop, a captioned row. Element
          // download: start, stop, previews.
          {"ButInet.psd", RowsButtonSheet(90, 30, {TButtonGlyph::Check, TButtonGlyph::Cross, TButtonGlyph::Blank})},
          {"ButDnld.psd", RowsButtonSheet(90, 30, {TButtonGlyph::Check, TButtonGlyph::Cross, TButtonGlyph::Blank})},
          // Chat: log in, register, send.
          {"ButChat.psd", RowsButtonSheet(90, 30, {TButtonGlyph::Check, TButtonGlyph::Blank, TButtonGlyph::Check})},
          // The online hub: one row of frames its captioned buttons share.
          {"ButIMode.psd", RowsButtonSheet(220, 30, {TButtonGlyph::Blank})},
          {"ButBaldHead.psd", PortraitToolButtonSheet()},
          {"ButClbr.psd", PortraitToolButtonSheet()},
          {"ButSetup.psd", SetupButtonSheet()},
          // The video players' captioned buttons take the set-up window's frames.
          {"ButVideo.psd", SetupButtonSheet()},
          {"BlankPub.psd", GalleryBlankPreview(false)},
          {"BlankPrv.psd", GalleryBlankPreview(true)},
          // Help and tips: one row of frames the captioned buttons share.
          {"ButHelp.psd", RowsButtonSheet(110, 30, {TButtonGlyph::Blank})},
          {"ButTips.psd", RowsButtonSheet(110, 30, {TButtonGlyph::Blank})},
          // The post card's composer and its two editors.
          {"ButPcrd.psd", PortraitToolButtonSheet()},
          {"ButPctx.psd", PortraitToolButtonSheet()},
          {"ButPcbg.psd", PortraitToolButtonSheet()},
          {"ButQuery.psd", RowsButtonSheet(110, 30, {TButtonGlyph::Blank})},
          {"ButCatalog.psd", RowsButtonSheet(110, 30, {TButtonGlyph::Blank})},
          // The regions window, the region editor and the save window share one sheet.
          {"ButLRegs.psd", PortraitToolButtonSheet()}};
}
