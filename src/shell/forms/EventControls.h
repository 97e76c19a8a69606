#pragma once
// Standard controls with the extra mouse events the windows use: a right double
// click on all four, entering and leaving on the tree view and the image, and
// owner drawing through one event on the list box.
#include <QLabel>
#include <QListWidget>
#include <QTreeWidget>
#include <QWidget>
#include <functional>

#include "shell/forms/Image.h"

class QPainter;

// The picture control with clicks, right double clicks, entering and leaving.
class TMyImage : public TImage {
  Q_OBJECT
 public:
  explicit TMyImage(QWidget* parent = nullptr);

  std::function<void()> OnClick;
  std::function<void()> OnRDblClick;
  std::function<void()> OnMouseEnter;
  std::function<void()> OnMouseLeave;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
};

// The window's hidden button sheet "ImageButtons", which its button skin fills.
TMyImage* NewButtonSheet(QWidget& form);

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
