#pragma once
// A panel that tiles a picture and writes its caption between its child
// controls, and the caption strip of borderless windows built on it.
#include <QFrame>
#include <QPoint>
#include <functional>

#include "picture/Bitmap32.h"
#include "shell/PanelCaption.h"

class QPainter;

class TDrawPanel : public QFrame {
  Q_OBJECT
 public:
  explicit TDrawPanel(QWidget* parent = nullptr);

  const TBitmap32& Picture() const { return picture_; }
  void SetPicture(TBitmap32 picture);
  QString Caption;
  TCaptionAlign Alignment = TCaptionAlign::Center;

  // When set, the panel's whole paint (the tiles and the caption are not drawn).
  std::function<void(QPainter&)> OnPaint;
  // When set, runs before painting in place of the background fill.
  std::function<void(QPainter&)> OnErase;

 protected:
  void paintEvent(QPaintEvent* event) override;
  virtual void Paint(QPainter& painter);

 private:
  void PaintTiled(QPainter& painter);
  void PaintPlain(QPainter& painter);
  TBitmap32 picture_;
};

// Dragging the bar moves its window (through the window manager when there is
// one); a double click toggles maximised when the window has a maximise button.
class TCaptionBar : public TDrawPanel {
  Q_OBJECT
 public:
  explicit TCaptionBar(QWidget* parent = nullptr);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool draggingByHand_ = false;
  QPoint grabOffset_;  // the press position relative to the window's corner
};

// The caption strip "CaptionBar" across the top of `form`.
TCaptionBar* NewCaptionBar(QWidget& form, int width, int height);
