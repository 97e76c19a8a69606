#pragma once
// A label that draws its text rotated by any angle, raised, recessed or shadowed
// by up to three kinds of offset drawings (shadows, a highlight, the face).
#include <QWidget>

#include "exchange/LabelLook.h"

class QPainter;

enum TVerticalAlignment { vaTop, vaCenter, vaBottom };

class TProLabel : public QWidget {
  Q_OBJECT

 public:
  explicit TProLabel(QWidget* parent = nullptr);

  QString Caption;
  // Left, right or centre (Qt::AlignLeft, AlignRight, AlignHCenter).
  Qt::Alignment Alignment = Qt::AlignLeft;
  TColor32 Color = Color32(255, 255, 255);
  TColor32 FontColor = Color32(0, 0, 0);
  bool Transparent = false;
  bool WordWrap = false;

  int Angle() const { return angle_; }
  // Kept in 0..359.
  void SetAngle(int degrees);
  int OffsetX() const { return offsetX_; }
  int OffsetY() const { return offsetY_; }
  void SetOffset(int x, int y);
  TVerticalAlignment VerticalAlignment() const { return vertical_; }
  void SetVerticalAlignment(TVerticalAlignment value);

  const TLabelLook& Look() const { return look_; }
  // A preset; ssCustom keeps the highlight and shadow.
  void SetShadowStyle(TShadowStyle style);
  // Each of these makes the style ssCustom.
  void SetHighlightDirection(TDirection value);
  void SetHighlightDepth(int value);
  void SetHighlightColor(TColor32 value);
  void SetShadowDirection(TDirection value);
  void SetShadowDepth(int value);
  void SetShadowSize(int value);
  void SetShadowColor(TColor32 value);

  // Draws the label into `painter` over (0, 0)-(width, height).
  void PaintTo(QPainter& painter) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  template <typename T>
  void SetCustom(T& field, T value);
  void DrawText(QPainter& painter, const QRect& area, QPoint offset) const;

  int angle_ = 0;
  int offsetX_ = 0;
  int offsetY_ = 0;
  TVerticalAlignment vertical_ = vaTop;
  TLabelLook look_;
};
