#pragma once
// The application-wide hint: hints show in a soft elliptic bubble and, when the
// hint names a wave file after its delimiter ("Save the work@save.wav"), speak it
// while the background music pauses.
#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <string>

#include "picture/Bitmap32.h"

class IMediaPlayer;
class TSoundHintWindow;

class TSoundHint : public QObject {
  Q_OBJECT
 public:
  // The last created is the current one; it shows every hint of the application
  // (the main window makes it at start-up).
  explicit TSoundHint(QObject* owner = nullptr);
  ~TSoundHint() override;
  static TSoundHint* Current();

  double Coefficient() const { return coefficient_; }
  void SetCoefficient(double value) { coefficient_ = value < 1.0 ? 1.0 : value; }
  std::string Delimiter = "@";
  QFont Font;
  QColor HintBgColor = QColor(75, 155, 155);
  QColor HintTextColor;
  // Timings (ms): before a hint shows, how long it stays, and before the next
  // one shows while a bubble is up.
  int Pause = 500;
  int HidePause = 5000;
  int ShortPause = 50;
  std::string PathForWave;  // empty: the program's folder
  bool SoundEnabled = true;
  bool SoundAfter = true;
  IMediaPlayer* BgPlayer = nullptr;  // not owned
  IMediaPlayer* MyPlayer = nullptr;  // not owned

  void StopSound();
  // Shows `hint` for the position `at` (global), as the application's hint does.
  void ActivateHint(const QPoint& at, const QString& hint);
  void HideHint();
  TSoundHintWindow* HintWindow() const { return window_.data(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PlayHintSound(const std::string& wave);
  void ShowPending();
  // The bubble for `widget`'s hint opens after the pause.
  void Hover(QWidget* widget);
  double coefficient_ = 2.5;
  QPointer<TSoundHintWindow> window_;
  QPointer<QWidget> hovered_;
  QPointer<QWidget> under_;  // the widget the mouse last entered
  QString hoveredHint_;      // hovered_'s hint when the bubble was asked for
  QTimer showTimer_;
  QTimer hideTimer_;
};

// The bubble: a borderless tool window that never takes the focus.
class TSoundHintWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TSoundHintWindow(TSoundHint& owner);
  // The bubble's size for a hint, measured with the hint font, wrapped to maxWidth.
  QRect CalcHintRect(int maxWidth, const QString& hint) const;
  // Takes the rectangle (its left is the hint position), captures the screen under
  // it and shows it without activation.
  void ActivateHint(const QRect& rect, const QString& hint);
  QString Caption() const { return caption_; }
  const TBitmap32& Bubble() const { return bubble_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TSoundHint& owner_;
  QString caption_;
  TBitmap32 bubble_;
};
