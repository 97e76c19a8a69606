#pragma once
// Standard controls with the extra mouse events the windows use: a right double
// click on all four, entering and leaving on the tree view and the image, and
// owner drawing through one event on the list box.
#include <QLabel>
#include <QListWidget>
#include <QTreeWidget>
#include <QWidget>
#include <functional>

#include "picture/Bitmap32.h"

class QPainter;

// The program's picture control: shows `Picture` at its top left corner (stretched
// to the control when `Stretch` is set). Also the holder of a window's button
// sheet ("ImageButtons"), which the skin controls draw from.
class TMyImage : public QWidget {
  Q_OBJECT
 public:
  explicit TMyImage(QWidget* parent = nullptr);
  const TBitmap32& Picture() const { return picture_; }
  void SetPicture(TBitmap32 picture);
  bool Stretch = false;

  std::function<void()> OnClick;
  std::function<void()> OnRDblClick;
  std::function<void()> OnMouseEnter;
  std::function<void()> OnMouseLeave;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  TBitmap32 picture_;
};

class TMyLabel : public QLabel {
  Q_OBJECT
 public:
  explicit TMyLabel(QWidget* parent = nullptr);
  std::function<void()> OnRDblClick;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

class TMyTreeView : public QTreeWidget {
  Q_OBJECT
 public:
  explicit TMyTreeView(QWidget* parent = nullptr);
  std::function<void()> OnRDblClick;
  std::function<void()> OnMouseEnter;
  std::function<void()> OnMouseLeave;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
};

class TMyListBox;
// Control, item index, item rectangle, state (always empty) and the canvas.
using TDrawItemEvent = std::function<void(TMyListBox& control, int index, const QRect& rect, int state,
                                          QPainter& canvas)>;

class TMyListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit TMyListBox(QWidget* parent = nullptr);
  std::function<void()> OnRDblClick;
  // When set, it draws every item instead of the list's own drawing.
  TDrawItemEvent OnCNDrawItem;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};
