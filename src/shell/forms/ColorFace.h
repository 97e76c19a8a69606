#pragma once
// A button whose face is a colour.
#include <QWidget>
#include <functional>
#include <optional>

#include "picture/Bitmap32.h"

class TColorFace : public QWidget {
  Q_OBJECT
 public:
  TColorFace(QWidget* parent, const char* name, const QRect& bounds);
  void SetColor(TColor32 color);
  TColor32 Color() const { return color_; }
  std::function<void()> OnClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  TColor32 color_ = Color32(0, 0, 0);
};

// The colour dialog over `parent`, starting at `color`; nullopt when cancelled.
std::optional<TColor32> ChooseColor(QWidget* parent, TColor32 color);
