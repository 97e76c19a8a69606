#pragma once
// The open dialog for pictures and works: Qt's own (non-native) file dialog with a
// picture panel beside the file list: the selection's size, its preview, and a
// button that shows it in a window of its own.
#include <QFileDialog>

#include "picture/Bitmap32.h"

class QFrame;
class QLabel;
class QToolButton;
class TPreviewPaintBox;

// The list of completions that Qt's file dialog shows under its name field as a
// name is typed outlives the dialog when Enter ends it there: it is closed as the
// dialog finishes.
void CloseCompletionWithDialog(QFileDialog& dialog);

class TPelmoOpenPictureDialog : public QFileDialog {
  Q_OBJECT

 public:
  explicit TPelmoOpenPictureDialog(QWidget* parent = nullptr);
  ~TPelmoOpenPictureDialog() override;

  QFrame* PicturePanel;
  QLabel* PictureLabel;
  QToolButton* PreviewButton;
  QFrame* PaintPanel;
  TPreviewPaintBox* PaintBox;

  // The preview of the current selection (empty when there is none).
  const TBitmap32& Picture() const { return picture_; }
  // Loads the preview of `file` and shows its size: the dialog's selection handler.
  void SelectionChanged(const QString& file);
  // The preview window, modal (the preview button and a double click on the preview).
  void PreviewClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TBitmap32 picture_;
};

// The preview area: the picture unscaled and centred when it fits, else shrunk
// keeping its aspect, "(None)" without one.
class TPreviewPaintBox : public QWidget {
  Q_OBJECT
 public:
  TPreviewPaintBox(TPelmoOpenPictureDialog& dialog, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  TPelmoOpenPictureDialog& dialog_;
};
