#pragma once
// The black full-screen backdrop that stays behind every window for the whole
// run, and the intro pictures shown on it.
#include <QTimer>
#include <QWidget>
#include <functional>

class TMyImage;

class TFormScreen : public QWidget {
  Q_OBJECT
 public:
  explicit TFormScreen(QWidget* parent = nullptr);

  TMyImage* IntroImage;
  QTimer IntroTimer;

  // A click on the backdrop; by default it skips the intro. The intro video
  // replaces it while it plays.
  std::function<void()> OnClick;
  // The main window's handlers, so that keys and closing act as on it.
  std::function<void(int& key, int shift)> OnKeyDown;
  std::function<void(int& key, int shift)> OnKeyUp;
  std::function<void(bool& canClose)> OnCloseQuery;
  std::function<void()> OnActivate;
  // What skipping the intro does (a click, or a key that types or Esc); the
  // start-up sets it.
  std::function<void()> OnSkipIntro;

  // Covers the screen (without a window manager a full-screen request does not).
  void ShowOverScreen();
  void SkipIntro();
  void SetServerPainted(bool onServer);

 protected:
  QPaintEngine* paintEngine() const override;
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
};

extern TFormScreen* FormScreen;
