#pragma once
// The gallery's picture viewer: a plain tool window that shows one downloaded
// picture at its own size (scaled down only to fit the screen); Esc closes it
// and closing lets the picture go.
#include <QWidget>

#include "picture/Bitmap32.h"

class QLabel;

class TFormViewWork : public QWidget {
  Q_OBJECT

 public:
  explicit TFormViewWork(QWidget* parent = nullptr);

  QLabel* ImageChecking;

  // Shows `picture` and the window around it.
  void ShowPicture(const TBitmap32& picture);
  bool HasPicture() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
};
