#include "exchange/forms/ProLabel.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
QColor ToQColor(TColor32 c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }
}  // namespace

TProLabel::TProLabel(QWidget* parent) : QWidget(parent) {}

void TProLabel::SetAngle(int degrees) {
  const int angle = NormalizeAngle(degrees);
  if (angle == angle_) return;
  angle_ = angle;
  update();
}

void TProLabel::SetOffset(int x, int y) {
  if (x == offsetX_ && y == offsetY_) return;
  offsetX_ = x;
  offsetY_ = y;
  update();
}

void TProLabel::SetVerticalAlignment(TVerticalAlignment value) {
  if (value == vertical_) return;
  vertical_ = value;
  update();
}

void TProLabel::SetShadowStyle(TShadowStyle style) {
  ApplyShadowStyle(look_, style, FontColor);
  update();
}

template <typename T>
void TProLabel::SetCustom(T& field, T value) {
  if (field == value) return;
  field = value;
  look_.Style = ssCustom;
  update();
}

void TProLabel::SetHighlightDirection(TDirection value) { SetCustom(look_.HighlightDirection, value); }
void TProLabel::SetHighlightDepth(int value) { SetCustom(look_.HighlightDepth, value); }
void TProLabel::SetHighlightColor(TColor32 value) { SetCustom(look_.HighlightColor, value); }
void TProLabel::SetShadowDirection(TDirection value) { SetCustom(look_.ShadowDirection, value); }
void TProLabel::SetShadowDepth(int value) { SetCustom(look_.ShadowDepth, value); }
void TProLabel::SetShadowSize(int value) { SetCustom(look_.ShadowSize, value); }
void TProLabel::SetShadowColor(TColor32 value) { SetCustom(look_.ShadowColor, value); }

// `area` is the part of the label the text is aligned in: the label less the
// spread of the offset drawings, so that shadows stay inside it too.
void TProLabel::DrawText(QPainter& painter, const QRect& area, QPoint offset) const {
  const QFontMetrics metrics(font(), painter.device());
  if (angle_ != 0) {
    // The text's top-left corner placed so that the turned text's box is aligned.
    const TRotatedText turned = RotateText(metrics.horizontalAdvance(Caption), metrics.height(), angle_);
    double left = area.left(), top = area.top();
    if (Alignment & Qt::AlignHCenter) left += (area.width() - turned.Width) / 2;
    if (Alignment & Qt::AlignRight) left += area.width() - turned.Width;
    if (vertical_ == vaCenter) top += (area.height() - turned.Height) / 2;
    if (vertical_ == vaBottom) top += area.height() - turned.Height;
    painter.save();
    painter.translate(left + turned.Origin.X + offset.x(), top + turned.Origin.Y + offset.y());
    painter.rotate(-angle_);
    painter.drawText(QPointF(0, metrics.ascent()), Caption);
    painter.restore();
    return;
  }
  const int flags = int(Alignment & (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter)) | Qt::TextExpandTabs |
                    (WordWrap ? Qt::TextWordWrap : 0);
  QRect box = area;
  if (vertical_ != vaTop) {
    const int textHeight = painter.boundingRect(box, flags, Caption).height();
    box.translate(0, vertical_ == vaCenter ? (area.height() - textHeight) / 2 : area.height() - textHeight);
  }
  painter.drawText(box.translated(offset), flags, Caption);
}

void TProLabel::PaintTo(QPainter& painter) const {
  if (!Transparent) painter.fillRect(rect(), ToQColor(Color));
  painter.setFont(font());
  const std::vector<TLabelPass> passes = LabelPasses(look_, FontColor, isEnabled());
  int minX = 0, maxX = 0, minY = 0, maxY = 0;
  for (const TLabelPass& pass : passes) {
    minX = std::min(minX, pass.Offset.X), maxX = std::max(maxX, pass.Offset.X);
    minY = std::min(minY, pass.Offset.Y), maxY = std::max(maxY, pass.Offset.Y);
  }
  const QRect area(-minX, -minY, width() - (maxX - minX), height() - (maxY - minY));
  for (const TLabelPass& pass : passes) {
    painter.setPen(ToQColor(pass.Color));
    DrawText(painter, area, QPoint(pass.Offset.X + offsetX_, pass.Offset.Y + offsetY_));
  }
}

void TProLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::TextAntialiasing);
  PaintTo(painter);
}
